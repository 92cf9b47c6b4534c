#pragma once
// Capabilities taken out of the calling thread's effective set for a while,
// so a test running as root meets what an ordinary account meets.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>

namespace testsupport {

// Takes capabilities out of this thread's effective set while it lives (root
// without CAP_LEASE cannot lease another account's file; without the DAC
// overrides it honours permissions). ok() false when that cannot be done.
class DroppedCaps {
public:
    explicit DroppedCaps(std::initializer_list<int> caps)
    {
        if (::geteuid() != 0) return;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0) return;
        __user_cap_data_struct data[2] = {m_saved[0], m_saved[1]};
        for (int c : caps) data[c / 32].effective &= ~(1u << (c % 32));
        m_ok = ::syscall(SYS_capset, &m_header, data) == 0;
    }
    ~DroppedCaps()
    {
        if (m_ok) ::syscall(SYS_capset, &m_header, m_saved);
    }
    DroppedCaps(const DroppedCaps&) = delete;
    DroppedCaps& operator=(const DroppedCaps&) = delete;
    bool ok() const { return m_ok; }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
    bool m_ok = false;
};

}  // namespace testsupport
