#include "tests/support/ServedLogin.h"

namespace zoxtest {

ServedLogin::ServedLogin(FakeDispatchServer &server)
{
    const uint32_t codes[] = {0x50010001, 0x50010004, 0x50010005, 0x50010007,
                              0x5001000B, 0x5001000F, 0x50030002, 0x50030006};
    for (uint32_t code : codes)
        server.Answer(code, [this](const ReceivedDatagram &request) {
            std::lock_guard<std::mutex> lock(m_lock);
            return m_login.Handle(request.bytes);
        });
}

} // namespace zoxtest
