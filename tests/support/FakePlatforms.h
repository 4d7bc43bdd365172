#pragma once
// Stand-ins for the vehicle platform and the user platform on a FakeHttpServer.
//
// Each answers its API from the data the test gives it; a reply for one request
// index (counted from 0 over every request the platform received) can be replaced by
// a hostile one. The data is shared with the server thread: change and read it only
// through With().
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/FakeHttpServer.h"

namespace zoxtest {

struct FakeCmsDevice {
    std::string id;
    int cc = 0;
    std::string cn;
    int online = 0;
};

struct FakeCmsVehicle {
    int id = 0;
    int companyId = 0;
    std::string number;
    std::vector<FakeCmsDevice> devices;
};

struct FakeCmsCompany {
    int id = 0;
    int pid = 0;
    std::string name;
};

struct FakeCmsData {
    std::string account = "qorvu";
    std::string password = "qorvu";
    std::string jsession = "S-1";
    std::vector<FakeCmsCompany> companies;
    std::vector<FakeCmsVehicle> vehicles;
    std::map<std::size_t, FakeHttpServer::Reply> overrides;
};

class FakeCmsPlatform {
public:
    FakeCmsPlatform();
    template <class F> auto With(F f)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return f(m_data);
    }
    FakeHttpServer server;

    static std::string VehicleReply(const FakeCmsData &d);
    static std::string StatusReply(const FakeCmsData &d);

private:
    FakeHttpServer::Reply Answer(const FakeHttpServer::Request &r, std::size_t index);
    std::mutex m_lock;
    FakeCmsData m_data;
};

struct FakeUapUser {
    std::string voipNum;
    std::string realName;
    std::string orgName;
};

struct FakeUapData {
    std::string appId = "app";
    std::string secret = "secret";
    std::string token = "T-1";
    std::vector<FakeUapUser> users;
    int pageDelayMs = 0; // before each page's reply
    std::map<std::size_t, FakeHttpServer::Reply> overrides;
};

class FakeUapPlatform {
public:
    FakeUapPlatform();
    template <class F> auto With(F f)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return f(m_data);
    }
    FakeHttpServer server;

private:
    FakeHttpServer::Reply Answer(const FakeHttpServer::Request &r, std::size_t index);
    std::mutex m_lock;
    FakeUapData m_data;
};

// Percent-encoding as the console does it (every byte but letters, digits, "-._~").
std::string FakeUrlEncode(const std::string &value);
// A JSON string literal.
std::string JsonQuote(const std::string &text);

} // namespace zoxtest
