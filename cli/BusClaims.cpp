#include "BusClaims.h"

#include <chrono>

void BusClaims::hold(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_held[path] = false;
}

bool BusClaims::look(const std::string& path) {
    std::unique_lock<std::mutex> lock(m_mutex);
    // A look takes a few identity queries; the bound only guards against a
    // thread that never lets go.
    m_released.wait_for(lock, std::chrono::seconds(2), [&] {
        const auto held = m_held.find(path);
        return held == m_held.end() || !held->second;
    });
    if (m_held.count(path) != 0) return false;
    m_held[path] = true;
    return true;
}

void BusClaims::release(const std::string& path) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held.erase(path);
    }
    m_released.notify_all();
}
