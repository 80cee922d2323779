#include "app/DeviceConnection.hpp"

#include <cstdio>

namespace tessik::app {

// The session is made once at start-up. The simulated receiver runs on the application's clock
// too, so its waits (Save, a re-enumeration) keep the window painted like a real device's.
DeviceConnection::DeviceConnection(const DeviceOptions& options, LogSink& log) {
    connect::SessionParts parts;
    parts.clock = options.clock != nullptr ? options.clock : &appClock_;
    parts.log = &log;
    parts.transport = options.transport;
    parts.receiver = options.receiver;
    std::string error;  // the options were checked with the command line (CTessikApp)
    session_ = connect::DeviceSession::open(options, error, parts);
    if (!session_) {
        // A trace file that cannot be written is only found out here. The window still opens,
        // with the receiver it was asked for but nothing it could not have, and says why.
        std::fprintf(stderr, "tessik: %s\n", error.c_str());
        connect::SessionOptions plain;
        plain.simulate = options.simulate;
        session_ = connect::DeviceSession::open(plain, error, parts);
    }
}

DeviceConnection::~DeviceConnection() = default;

}  // namespace tessik::app
