#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

// Which repeaters the threads of one command are talking to. Every open
// handle of a HID device receives every reply, so a thread that looks for its
// repeater after a reset must not open one that another thread is reading
// or writing, nor one that another thread is asking who it is. Each claim
// has an owner (any address that stands for the thread's work), and only
// the owner releases it.
class BusClaims {
public:
    // The repeater a thread works on (also one it looked at and found to be
    // its own); nobody looks at it until released.
    void hold(const std::string& path, const void* owner);
    // A look at a repeater, to find out who it is: false when another thread
    // works on it; while another thread only looks at it, waits for that look.
    bool look(const std::string& path, const void* owner);
    void release(const std::string& path, const void* owner);

private:
    struct Claim {
        const void* owner;
        bool looking;
    };

    std::mutex m_mutex;
    std::condition_variable m_released;
    std::map<std::string, Claim> m_claims;
};
