#include "ui/aboutwindow.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/artwork.h"
#include "ui/programicon.h"

namespace kurvana {

namespace {
QLabel* link(const QString& text) {
    auto* label =
        new QLabel("<span style='color:#0000ff; text-decoration:underline'>" + text + "</span>");
    label->setTextInteractionFlags(Qt::NoTextInteraction); // clicking does nothing
    return label;
}
} // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("FormAbout");
    setWindowTitle("About");
    setModal(false);
    auto* panel = new QFrame;
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* icon = new QLabel;
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* text = new QVBoxLayout;
    text->addWidget(new QLabel("Product Name: Kurvana II"));
    text->addWidget(new QLabel("Version v 2.32  18 .01.2000"));
    text->addWidget(new QLabel("Comments"));
    text->addWidget(new QLabel(QString::fromUtf8("Прочтите ReadMe.rus (Readme.eng )")));
    text->addWidget(new QLabel(QString::fromUtf8("Отзывы, советы, предложения")));
    auto* contact = new QHBoxLayout;
    contact->addWidget(new QLabel(QString::fromUtf8("присылайте по адресу ")));
    contact->addWidget(link("feedback@kurvana.example.org"));
    contact->addStretch();
    text->addLayout(contact);
    auto* home = new QHBoxLayout;
    home->addWidget(new QLabel("Home Page"));
    home->addWidget(link("https://kurvana.example.org/"));
    home->addStretch();
    text->addLayout(home);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->addWidget(icon, 0, Qt::AlignTop);
    panelLayout->addLayout(text);
    auto* close = new QPushButton("Close");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(close, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace kurvana
