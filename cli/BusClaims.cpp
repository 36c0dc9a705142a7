#include "BusClaims.h"

#include <chrono>

void BusClaims::hold(const std::string& path, const void* owner) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_claims[path] = {owner, false};
    }
    // A look that waits for it may go on: this one is no look any more.
    m_released.notify_all();
}

bool BusClaims::look(const std::string& path, const void* owner) {
    std::unique_lock<std::mutex> lock(m_mutex);
    // A look takes a few identity queries; the bound only guards against a
    // thread that never lets go.
    m_released.wait_for(lock, std::chrono::seconds(2), [&] {
        const auto claim = m_claims.find(path);
        return claim == m_claims.end() || !claim->second.looking || claim->second.owner == owner;
    });
    const auto claim = m_claims.find(path);
    if (claim != m_claims.end()) return claim->second.owner == owner;
    m_claims[path] = {owner, true};
    return true;
}

void BusClaims::release(const std::string& path, const void* owner) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto claim = m_claims.find(path);
        if (claim == m_claims.end() || claim->second.owner != owner) return;
        m_claims.erase(claim);
    }
    m_released.notify_all();
}
