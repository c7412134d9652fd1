#pragma once

// The connection to one keyboard interface: one 65-byte output report per
// write, one input report per read.

#include "HidChannel.h"

#include <atomic>
#include <memory>

class CKeyboardUtil {
public:
    // Takes the opened interface; a channel whose open failed makes every
    // read and write fail at once.
    explicit CKeyboardUtil(std::unique_ptr<talvik::hwi::CHidChannel> channel);
    virtual ~CKeyboardUtil();
    CKeyboardUtil(const CKeyboardUtil&) = delete;
    CKeyboardUtil& operator=(const CKeyboardUtil&) = delete;

    // Writes `length` bytes (a whole report, report ID first) in one write.
    // True when the write succeeded; the count written is not examined.
    virtual bool writeReport(const unsigned char* report, unsigned length);

    // Reads one input report. On success copies up to *length payload bytes
    // (the report without its ID byte) to `payload`, sets *length to the number
    // delivered and returns true. `timeout` is counted in units of 10
    // microseconds: every caller passes kReportTimeout, one second. An expired
    // wait, a closed or failed device and an empty report are failed reads and
    // leave `payload` untouched.
    virtual bool readReport(unsigned char* payload, unsigned* length, int timeout);

    // Open, and the device has not gone away since.
    bool isOpen() const;
    // The errno of the open that failed; 0 while open.
    int openError() const;
    // Whether a read or write found the device gone (unplugged, re-enumerated,
    // the simulated keyboard's far end closed). From then on every read and
    // write fails at once: no later transfer waits out its time-outs on a node
    // that will never answer again. Safe to ask from any thread.
    bool lost() const { return m_lost.load(std::memory_order_acquire); }

private:
    void noteLost() { m_lost.store(true, std::memory_order_release); }

    std::unique_ptr<talvik::hwi::CHidChannel> m_channel;
    std::atomic<bool> m_lost{false};
};

class COrsaUtil : public CKeyboardUtil {
public:
    using CKeyboardUtil::CKeyboardUtil;

    // Sends 00 F9 and reads one report; converts its payload[2..63] from the
    // ANSI code page into 62 characters at `text` (zero bytes become zero
    // characters). False on a failed send or read, `text` then untouched.
    virtual bool queryVersion(wchar_t* text);
};

namespace talvik::hwi {

// The time-out every transfer passes to readReport. Its unit is 10 us, so this
// is one second: a healthy keyboard answers within a few 1 ms USB frames, and
// a keyboard that stopped answering costs a transfer one second, not a hang.
inline constexpr int kReportTimeout = 100000;
inline constexpr int kTimeoutUnitMicroseconds = 10;

} // namespace talvik::hwi
