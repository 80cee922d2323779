#pragma once
// Permission tests. The suites run as root here, and root opens and replaces files whatever
// their mode, so a test of "may not" has to give up root first: in the child of a death test,
// which ends with the body's verdict.
//
//     EXPECT_EXIT(test::asNobody([&] { ...; return refused; }), ExitedWithCode(0), "Permission");

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace tessik::test {

inline constexpr uid_t kNobody = 65534;

// Becomes nobody (user and group 65534, no other groups) when running as root, runs `body` and
// ends the process: status 0 when it returned true, 1 when false, 2 when root could not be
// given up. Only for the child of a death test.
[[noreturn]] inline void asNobody(const std::function<bool()>& body) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
         ::setresuid(kNobody, kNobody, kNobody) != 0)) {
        std::fputs("cannot give up root\n", stderr);
        std::_Exit(2);
    }
    const bool verdict = body();
    std::fflush(stderr);
    std::_Exit(verdict ? 0 : 1);
}

}  // namespace tessik::test
