#include "app/ProgramInfo.hpp"

#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik::app {

std::string_view programDescription(Language language) {
    return pick({"Tessik infrared-remote-control setting tool", "Tessik 赤外線リモコン設定ツール"},
                language);
}

std::string programVersion() {
    return formatText("%d.%d.%d.%d", {TESSIK_VERSION_MAJOR, TESSIK_VERSION_MINOR,
                                      TESSIK_VERSION_BUILD, TESSIK_VERSION_REVISION});
}

std::string_view legalNotice(Language language) {
    return pick({"Copyright (C) The Tessik authors", "Copyright (C) Tessik 開発者一同"}, language);
}

}  // namespace tessik::app
