#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace ordalis::test {

// A readable test name from a table row's `what`: "4x2 top left" -> "c3_4x2_top_left".
template<typename Case> std::string caseName(const testing::TestParamInfo<Case>& info)
{
    std::string name = "c" + std::to_string(info.index) + "_";
    for (const char* c = info.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

// The test name a table row gives itself in `name`, already a valid identifier.
template<typename Case> std::string rowName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

} // namespace ordalis::test
