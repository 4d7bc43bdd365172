#pragma once
// Test names for parameterised cases: the case's own name with every character that
// GoogleTest does not accept replaced by '_'.
#include <cctype>
#include <string>

namespace zoxtest {

struct CaseName {
    template <typename Info>
    std::string operator()(const Info &info) const
    {
        std::string n = info.param.name;
        for (char &ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    }
};

} // namespace zoxtest
