#pragma once
// Permission tests. The suites run as root here, and root opens and replaces files whatever
// their mode, so a test of "may not" gives up root first, in the child of a death test:
//
//     EXPECT_EXIT(test::asNobody([&] { ...; return refused; }), ExitedWithCode(0), "");

#include <grp.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace tessik::test {

// Becomes user and group 65534 (nobody) with no other groups when root, runs `body` and ends
// the process: status 0 when it returned true, 1 when false, 2 when root could not be given up.
[[noreturn]] inline void asNobody(const std::function<bool()>& body) {
    constexpr uid_t nobody = 65534;
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0 ||
         ::setresuid(nobody, nobody, nobody) != 0)) {
        std::fputs("cannot give up root\n", stderr);
        std::_Exit(2);
    }
    const bool verdict = body();
    std::fflush(stderr);
    std::_Exit(verdict ? 0 : 1);
}

}  // namespace tessik::test
