// The product's name and version, as the window caption and the application title show them.
#pragma once

#include <QString>

namespace zor {

inline constexpr const char* kProductName = "ZOR-cnc";
inline constexpr int kProductVersion = 7;

// "ZOR-cnc 7": the caption of the plain message boxes.
inline QString application_title() {
  return QStringLiteral("%1 %2").arg(QLatin1String(kProductName)).arg(kProductVersion);
}

// "ZOR-cnc-7": the main window's caption.
inline QString main_window_caption() {
  return QStringLiteral("%1-%2").arg(QLatin1String(kProductName)).arg(kProductVersion);
}

}  // namespace zor
