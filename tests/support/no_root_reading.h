#pragma once

// While one lives, this thread reads and searches files by their modes even as root: the
// capabilities that let root past them are taken out of its effective set and put back at
// the end. So a test of an unreadable file runs, and means the same, under any user.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tavrin::test {

class NoRootReading {
public:
    NoRootReading() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        lowered_ = ::syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~NoRootReading() {
        if (lowered_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    NoRootReading(const NoRootReading&) = delete;
    NoRootReading& operator=(const NoRootReading&) = delete;

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
};

} // namespace tavrin::test
