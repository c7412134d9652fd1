#pragma once

// The open end of one HID interface: a hidraw node, or a socket whose far end
// is the simulated keyboard. Either way the transport sees a file descriptor
// that keeps report boundaries.

#include "FileDescriptor.h"

#include "talvik/hwi/COrsaHWI.h"

#include <cerrno>
#include <memory>
#include <string>

namespace talvik::hwi {

class CHidChannel {
public:
    virtual ~CHidChannel() = default;
    // The descriptor reports are written to and read from; -1 when the open failed.
    virtual int fd() const = 0;
    // Why the open failed (an errno value); 0 while the channel is open.
    virtual int openError() const { return fd() >= 0 ? 0 : ENODEV; }
};

// A hidraw node (or any other path) opened read-write.
class CHidrawChannel final : public CHidChannel {
public:
    // `error` is the errno of a failed open; a channel without a descriptor
    // and without a known reason reports ENODEV (nothing to open).
    explicit CHidrawChannel(CFileDescriptor fd, int error = 0)
        : m_fd(std::move(fd)), m_openError(error) {}
    int fd() const override { return m_fd.get(); }
    int openError() const override;

private:
    CFileDescriptor m_fd;
    int m_openError;
};

// Opens a device node through `open` (open(2) when empty). Never null: a
// failed open gives a channel whose fd() is -1, so that every later transfer
// fails at once, as with a handle that could not be opened.
std::unique_ptr<CHidChannel> openHidNode(const std::string& devNode, const CNodeOpener& open);

} // namespace talvik::hwi
