// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Puts the window in the user's language: of languages (the system's, QLocale::system().uiLanguages(), most
// wanted first) the first that Vornetta speaks, read from folder/vornetta_LANG.qm, and then Qt's own
// translation of that language where the system has it, so the file dialogs speak it too. English before any
// translated language, or no language Vornetta speaks, keeps the window's own English texts and installs
// nothing. A later call replaces what an earlier one installed. Returns the translation's name ("de",
// "pt_BR"), or an empty string for English.
QString installTranslations(const QString& folder, const QStringList& languages);
