#pragma once

#include <memory>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "core/document.h"
#include "core/workspace.h"
#include "platform/scripteddialogs.h"

namespace kurvana::test {

/// A program folder of its own (with Data/Grafiks/), a document living in it, scripted dialogs
/// and windows that do nothing.
struct ProgramFolder {
    QTemporaryDir folder;
    std::unique_ptr<Document> doc = std::make_unique<Document>();
    platform::ScriptedDialogs dialogs;
    ViewHooks view;
    Workspace ws{*doc, dialogs, view};

    ProgramFolder() {
        doc->programDir = folder.path() + '/';
        QDir(folder.path()).mkpath("Data/Grafiks");
        for (int slot = 1; slot <= 21; ++slot)
            doc->texts.setMessage(slot, QString("M%1").arg(slot));
    }

    QString path(const QString& relative) const { return folder.path() + '/' + relative; }

    bool write(const QString& relative, const QByteArray& bytes) const {
        QFile file(path(relative));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    /// A white picture copy in Data/Grafiks/.
    bool writeCopy(const QString& name, int width = 120, int height = 90) const {
        QImage white(width, height, QImage::Format_RGB32);
        white.fill(Qt::white);
        return white.save(path("Data/Grafiks/" + name), "BMP");
    }
};

} // namespace kurvana::test
