#pragma once
// Conversions between the core's texts (UTF-8 and UTF-16 standard strings, paths) and Qt's.

#include <QFile>
#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessik::app {

inline QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline QString qs(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// A label's text as assistive tools read it: without its access key, "&Name" and the Japanese
// "名前(&N)" alike.
inline QString withoutAccessKey(const QString& s) {
    QString out = s;
    const qsizetype at = out.indexOf(QStringLiteral("(&"));
    if (at >= 0 && at + 3 < out.size() && out[at + 3] == QLatin1Char(')')) out.remove(at, 4);
    return out.remove(QLatin1Char('&'));
}

inline std::string utf8(const QString& s) {
    return s.toStdString();
}

inline std::u16string u16(const QString& s) {
    return s.toStdU16String();
}

// File names go through the locale's file-name encoding, as the file dialogs hand them out;
// on Windows they are UTF-16 on both sides.
inline std::filesystem::path toPath(const QString& s) {
#ifdef _WIN32
    return std::filesystem::path(s.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(s).toStdString());
#endif
}

inline QString fromPath(const std::filesystem::path& p) {
#ifdef _WIN32
    return QString::fromStdWString(p.native());
#else
    return QFile::decodeName(p.c_str());
#endif
}

}  // namespace tessik::app
