#pragma once

#include <QFontDatabase>
#include <QtTest>

// Pictographs are painted in colour by the system's colour emoji face. On Windows that is
// Segoe UI Emoji; wine ships none (it offers only bitmap faces the program leaves alone), so a
// case that looks for colour in a shot cannot be judged there.
#ifdef _WIN32
#define SKIP_WITHOUT_COLOUR_EMOJI_FACE()                                                 \
    do {                                                                                 \
        if (!QFontDatabase::hasFamily(QStringLiteral("Segoe UI Emoji")))                 \
            QSKIP("this system has no colour emoji face (Segoe UI Emoji), as under wine"); \
    } while (0)
#else
#define SKIP_WITHOUT_COLOUR_EMOJI_FACE() \
    do {                                 \
    } while (0)
#endif
