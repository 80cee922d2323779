#pragma once
// The device traffic log that the debug window shows: one line per exchange.

#include <string>
#include <string_view>
#include <vector>

namespace tessik {

class LogSink {
  public:
    virtual ~LogSink() = default;
    virtual void LogLine(std::string_view text) = 0;
};

class NullLogSink : public LogSink {
  public:
    void LogLine(std::string_view) override {}
};

class VectorLogSink : public LogSink {
  public:
    void LogLine(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

}  // namespace tessik
