#pragma once
// The report descriptors under tests/data/hid: hex bytes, '#' starts a comment.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tessik::test {

inline std::vector<std::uint8_t> descriptorFile(const std::string& name) {
    std::ifstream in(std::string(TESSIK_TEST_DATA_DIR) + "/hid/" + name);
    EXPECT_TRUE(in) << name;
    std::vector<std::uint8_t> bytes;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word;
        while (words >> word)
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return bytes;
}

}  // namespace tessik::test
