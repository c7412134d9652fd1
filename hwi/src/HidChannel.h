#pragma once

// The open end of one HID interface: a hidraw node, or a socket whose far end
// is the simulated keyboard. Either way the transport sees a file descriptor
// that keeps report boundaries.

#include "FileDescriptor.h"

#include <memory>
#include <string>

namespace talvik::hwi {

class CHidChannel {
public:
    virtual ~CHidChannel() = default;
    // The descriptor reports are written to and read from; -1 when the open failed.
    virtual int fd() const = 0;
};

// A hidraw node (or any other path) opened read-write.
class CHidrawChannel final : public CHidChannel {
public:
    explicit CHidrawChannel(CFileDescriptor fd) : m_fd(std::move(fd)) {}
    int fd() const override { return m_fd.get(); }

private:
    CFileDescriptor m_fd;
};

// Opens a device node. Never null: a failed open gives a channel whose fd() is
// -1, so that every later transfer fails at once, as with a handle that could
// not be opened.
std::unique_ptr<CHidChannel> openHidNode(const std::string& devNode);

} // namespace talvik::hwi
