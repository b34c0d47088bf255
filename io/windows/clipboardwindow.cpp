#include "io/windows/clipboardwindow.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/document.h"
#include "core/workspace.h"
#include "io/picturecommands.h"

namespace kurvana {

namespace {
QImage clipboardPicture() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return {};
    return qvariant_cast<QImage>(data->imageData());
}
} // namespace

TformClipboard::TformClipboard(Workspace& ws, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ws_(ws),
      imgClipboard_(new QLabel) {
    setObjectName("formClipboard");
    setWindowTitle(QString());
    auto* label = new QLabel("Preview of clipboard");
    imgClipboard_->setObjectName("imgClipboard");
    auto* scroll = new QScrollArea;
    scroll->setWidget(imgClipboard_);
    auto* copy = new QPushButton("Copy");
    copy->setObjectName("ButtonOK");
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("ButtonCancel");
    connect(copy, &QPushButton::clicked, this, &TformClipboard::ButtonOKClick);
    connect(cancel, &QPushButton::clicked, this, &TformClipboard::ButtonCancelClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    resize(420, 360);
}

bool TformClipboard::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
}

void TformClipboard::FormActivate() {
    const QImage picture = clipboardPicture();
    if (picture.isNull()) {
        ws_.dialogs.information(ws_.doc.texts.message(14));
        return;
    }
    preview_ = picture;
    // A big scan is previewed reduced: a full-size copy for the screen would double its memory.
    constexpr int kLargestPreviewSide = 2048;
    const QImage shown = std::max(picture.width(), picture.height()) > kLargestPreviewSide
                             ? picture.scaled(kLargestPreviewSide, kLargestPreviewSide,
                                              Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : picture;
    imgClipboard_->setPixmap(QPixmap::fromImage(shown));
    imgClipboard_->adjustSize();
}

void TformClipboard::ButtonOKClick() {
    // What is taken is the preview made at activation, provided the clipboard still holds a
    // picture.
    if (clipboardPicture().isNull() || preview_.isNull())
        ws_.dialogs.information(ws_.doc.texts.message(14));
    else
        runCommand(ws_, [this] { TakeClipboardPicture(ws_, preview_); });
    close();
}

void TformClipboard::ButtonCancelClick() {
    close();
}

} // namespace kurvana
