#include "dispatch/SessionInstancePool.h"

#include "core/Log.h"

int32_t CSessionInstancePool::Acquire()
{
    for (int32_t n = m_last + 1; n <= kLastNumber; ++n) {
        if (!m_inUse[n]) {
            m_inUse[n] = 1;
            m_last = n;
            return n;
        }
    }
    for (int32_t n = kFirstGranted; n < m_last; ++n) {
        if (!m_inUse[n]) {
            m_inUse[n] = 1;
            m_last = n;
            return n;
        }
    }
    WriteLog("dispatch: apply session instance failed!");
    return -1;
}

void CSessionInstancePool::Release(int32_t number)
{
    if (number >= 1 && number <= kLastNumber)
        m_inUse[number] = 0;
}

bool CSessionInstancePool::Claim(int32_t number)
{
    if (number < 1 || number > kLastServerNumber || m_inUse[number])
        return false;
    m_inUse[number] = 1;
    return true;
}

bool CSessionInstancePool::InUse(int32_t number) const
{
    return number >= 1 && number <= kLastNumber && m_inUse[number] != 0;
}

CSessionInstancePool &CSessionInstancePool::Process()
{
    static CSessionInstancePool pool;
    return pool;
}
