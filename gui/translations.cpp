// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/translations.h"

#include <memory>

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QList>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

// What the last call installed, owned by the application and removed again by the next call.
QPointer<QTranslator> ownTranslator;
QPointer<QTranslator> qtTranslator;

void removeInstalled()
{
    for (QPointer<QTranslator>* installed : {&ownTranslator, &qtTranslator}) {
        if (*installed) {
            QCoreApplication::removeTranslator(*installed);
            (*installed)->deleteLater();
        }
        *installed = nullptr;
    }
}

// Gives a loaded translation to the application, which keeps it.
QTranslator* install(std::unique_ptr<QTranslator> translator)
{
    translator->setParent(QCoreApplication::instance());
    QCoreApplication::installTranslator(translator.get());
    return translator.release();
}

} // namespace

QString installTranslations(const QString& folder, const QStringList& languages)
{
    removeInstalled();
    for (const QString& language : languages) {
        const QLocale locale(language);
        // The window's texts are English: English wanted first wins over any translation.
        if (locale.language() == QLocale::English || locale.language() == QLocale::C)
            return QString();
        auto own = std::make_unique<QTranslator>();
        // Tries vornetta_pt_BR.qm, then vornetta_pt.qm, and so on for each form of the language.
        if (!own->load(locale, "vornetta", "_", folder))
            continue;
        const QString name = QFileInfo(own->filePath()).completeBaseName().mid(int(qstrlen("vornetta_")));
        ownTranslator = install(std::move(own));
        auto qt = std::make_unique<QTranslator>();
        if (qt->load("qtbase_" + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            qtTranslator = install(std::move(qt));
        return name;
    }
    return QString();
}
