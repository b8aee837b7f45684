#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

namespace tillora {

// The update notice: one HTTP GET of a page that holds the published version
// between "xp=" and "=dy".
namespace UpdateCheck {

// The version text between the first "xp=" and the next "=dy" (case-insensitive);
// the empty text when a marker is missing.
QString versionFromPage(const QByteArray& page);

// True when the notice "当前版本已过旧，,请及时更新!" is due: the page is missing or
// its version text is not exactly ownVersion.
bool noticeDue(const std::optional<QByteArray>& page, const QString& ownVersion);

// Reads the body of one http:// or https:// page, giving up after timeoutMs in all
// (connection, request and answer together). No event loop is entered.
// std::nullopt on any failure, a non-2xx status included.
std::optional<QByteArray> fetch(const QUrl& url, int timeoutMs = 3000);

} // namespace UpdateCheck
} // namespace tillora
