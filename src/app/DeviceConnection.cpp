#include "app/DeviceConnection.hpp"

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
        // Should it fail all the same, the window still gets a plain simulated receiver rather
        // than none.
        connect::SessionOptions plain;
        plain.simulate = options.simulate;
        session_ = connect::DeviceSession::open(plain, error, parts);
    }
}

DeviceConnection::~DeviceConnection() = default;

}  // namespace tessik::app
