#include "ui/kurvana.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "core/document.h"
#include "ui/artwork.h"
#include "ui/checkgridpainter.h"
#include "ui/picturewidget.h"
#include "ui/programicon.h"

namespace kurvana {

namespace {

struct ButtonSpec {
    const char* name;
    int image;
    const char* hint; // as the window was designed; the language file replaces it
    bool checkable;
};

// The toolbar in its left-to-right order; Shape1 and the line button follow ButtonSetYMaxPoint.
const ButtonSpec kToolbar[] = {
    {"ButtonFileOpen", 0, "Загрузка картинки из файла", false},
    {"ButtonCopyFromClipboard", 1, "Загрузка из буфера обмена", false},
    {"ButtonViewTable", 3, "Таблица с данными", false},
    {"ButtonCopyToClipboard", 2, "", false},
    {"ButtonClearData", 7, "", false},
    {"ButtonViewSetup", 6, "Настройки и режимы", false},
    {"ButtonSetZeroPoint", 8, "Режим ввода нулевой точки", true},
    {"ButtonSetXMaxPoint", 9, "Режим ввода точки X max", true},
    {"ButtonSetYMaxPoint", 10, "Режим ввода точки Y max", true},
    {"ButtonSetPoint", 11, "Режим ввода точек", true},
    {"ButtonErazer", 23, "стиратель", true},
    {"ButtonPasteLine", 35, "", true},
    {"ButtonFindOnLine", 36, "", false},
    {"ButtonAvtoCorrect", 21, "Автокорректировка точки ввода", true},
    {"ButtonHandle", 4, "Scrolling by Left butoon", true},
    {"ButtonClearImage", 24, "подчистка", false},
    {"ButtonOnDeltaX", 22, "Поиск  с фиксир шагом по шкале Х", false},
    {"ButtonFindByColor", 26, "Поиск цветной линии графика", false},
    {"ButtonInputColor", 25, "Выбор/настройка цветов", true},
    {"ButtonCheckGrid", -1, "", true},
    {"ButtonFindAxes", 37, "", false},
    {"ButtonFindMarkers", 38, "", true},
    {"ButtonFindBars", 39, "", true},
    {"ButtonDigitiseChart", 40, "", false},
};

struct MenuSpec {
    const char* menuName;
    const char* title;
    std::vector<std::pair<const char*, const char*>> items;
};

const MenuSpec kMenus[] = {
    {"Menu1File",
     "&File",
     {{"menuOpenBMP", "Open BMP"},
      {"menufromClipboard", "From Clipboard"},
      {"menuOpenData", "Open Data"},
      {"menuSaveData", "Save Data"},
      {"MenuExit", "E&xit"}}},
    {"Menu1Edit", "&Edit", {{"MenuUndo", "Undo"}, {"MenuRedo", "Redo"}}},
    {"Menu1Show",
     "&Show",
     {{"menuShowTable", "Show Table"},
      {"menuShowSetup", "Show Setup"},
      {"menuShowZoom", "Show ZOOM"},
      {"menuShowInput", "Show Input"},
      {"menuShowFixShag", "Show  Delta X"},
      {"menuCheckGrid", ""}}},
    {"Menu1Data",
     "Data",
     {{"menuCopytoClipboard", "Copy to Clipboard"},
      {"menuCleardata", "Clear data of line"},
      {"menuExportData", ""},
      {"menuKeepCalibration", ""}}},
    {"Menu1Digitaze",
     "digitaze",
     {{"MenuInput00", "Ввод точки 0,0"},
      {"MenuInputXmax", "Ввод точки Xmax"},
      {"MenuInputYmax", "Ввод точки Ymax"},
      {"MenuInputPoint", "Ввод меток"},
      {"MenuErazer", "Стирание меток"},
      {"MenuFindAxes", ""},
      {"MenuFindMarkers", ""},
      {"MenuFindBars", ""},
      {"MenuDigitiseChart", ""}}},
    {"Menu1Mode", "Mode", {{"MenuAutocorrection", "Автокоррекция"}}},
    {"Menu1Action",
     "Action",
     {{"MenuClearGrafik", "Очистка от мусора"},
      {"MenuPasteLine", "Выделить зону"},
      {"MenuFindOnLine", "Поиск в зоне"},
      {"MenuFindByColor", "Поиск цветной линии"},
      {"MenuInputColor", "Настройка цвета поиска"},
      {"MenuOnDeltaX", "Поиск с шагом по Х"},
      {"MenuAvtomat", "Авто оцифровка"}}},
    {"Menu1Help", "&Help", {{"MenuHelp", "Help"}, {"MenuAbout", "&About..."}}},
};

const char* const kLineItems[] = {"line1", "line2", "Line3", "Line4", "Line5"};
const char* const kScaleItems[] = {"mastab1", "mastab2", "mastab3", "mastab4",
                                   "mastab5", "mastab6", "mastab7"};
const char* const kScaleCaptions[] = {"8:1", "4:1", "2:1", "1:1", "1:2", "1:4", "1:8"};
const char* const kCursorItems[] = {"Diag", "vert", "Handle", "Circle", "Strela"};
const char* const kCursorCaptions[] = {"Диаг крест", "Верт крест", "Рука", "Прицел", "Стрелка"};

QCursor cursorOfShape(int shape) {
    switch (shape) {
    case CursorCross:
        return Qt::CrossCursor;
    case CursorSizeAll:
        return Qt::SizeAllCursor;
    case CursorDefault:
        return Qt::ArrowCursor;
    default:
        return ProgramCursor(shape);
    }
}

} // namespace

TFormKurvana::TFormKurvana(const Document& doc, QWidget* parent)
    : QMainWindow(parent), doc_(doc), picture_(nullptr), scrollBox_(new QScrollArea) {
    setObjectName("FormKurvana");
    setWindowTitle("Kurvana II v2.32");
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    buildActions();
    buildToolBar();
    buildMenus();
    buildStatusBar();

    auto* central = new QWidget;
    scrollBox_->setObjectName("ScrollBox1");
    scrollBox_->setParent(central);
    scrollBox_->setGeometry(0, 0, 665, 337);
    scrollBox_->setWidgetResizable(false);
    picture_ = new PictureWidget(doc, scrollBox_);
    scrollBox_->setWidget(picture_);
    setCentralWidget(central);

    move(174, 158);
    setClientSize(QSize(800, 525));
    showDocumentState();
}

QAction* TFormKurvana::addCommand(const QString& name, const QString& text, int image) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (image >= 0)
        action->setIcon(ToolbarIcon(image));
    actions_[name] = action;
    return action;
}

QAction* TFormKurvana::action(const QString& name) const {
    const auto found = actions_.find(name);
    return found == actions_.end() ? nullptr : found->second;
}

void TFormKurvana::buildActions() {
    for (const ButtonSpec& spec : kToolbar) {
        QAction* a = addCommand(spec.name, spec.name, spec.image);
        a->setToolTip(QString::fromUtf8(spec.hint));
        a->setCheckable(spec.checkable);
    }
    for (const MenuSpec& menu : kMenus)
        for (const auto& [name, caption] : menu.items)
            addCommand(name, QString::fromUtf8(caption));
    action("MenuAutocorrection")->setCheckable(true);
    action("menuCheckGrid")->setCheckable(true);
    action("menuCheckGrid")->setShortcut(QKeySequence(Qt::Key_G));
    action("MenuDigitiseChart")->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    action("menuKeepCalibration")->setCheckable(true);
    action("ButtonCheckGrid")->setIcon(CheckGridIcon());
    showExtraTexts(doc_.texts);
    for (int i = 0; i < 5; ++i)
        addCommand(kLineItems[i], QString::number(i + 1));
    auto* scaleGroup = new QActionGroup(this);
    for (int i = 0; i < 7; ++i) {
        QAction* a = addCommand(kScaleItems[i], kScaleCaptions[i]);
        a->setCheckable(true);
        scaleGroup->addAction(a);
    }
    // Undo and redo: the menu items carry the keys, the toolbar buttons the same commands.
    action("MenuUndo")->setShortcut(QKeySequence::Undo);
    action("MenuRedo")
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addCommand("ButtonUndo", "Undo")->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    addCommand("ButtonRedo", "Redo")->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    auto* cursorGroup = new QActionGroup(this);
    for (int i = 0; i < 5; ++i) {
        QAction* a = addCommand(kCursorItems[i], QString::fromUtf8(kCursorCaptions[i]));
        a->setCheckable(true);
        cursorGroup->addAction(a);
    }
}

QToolButton* TFormKurvana::dropDownButton(const QString& name, QMenu* menu, int image) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setIcon(ToolbarIcon(image));
    button->setFixedSize(36, 28);
    return button;
}

void TFormKurvana::buildToolBar() {
    auto* toolBar = addToolBar("ToolBar1");
    toolBar->setObjectName("ToolBar1");
    toolBar->setMovable(false);
    toolBar->setIconSize(QSize(18, 18));
    auto add = [&](const char* name) {
        toolBar->addAction(action(name));
        if (QWidget* w = toolBar->widgetForAction(action(name)))
            w->setFixedSize(25, 28);
    };
    auto menuOf = [this](const char* name, const auto& items, int count) {
        auto* menu = new QMenu(this);
        menu->setObjectName(name);
        for (int i = 0; i < count; ++i)
            menu->addAction(action(items[i]));
        return menu;
    };
    for (const char* name : {"ButtonFileOpen", "ButtonCopyFromClipboard", "ButtonViewTable",
                             "ButtonCopyToClipboard", "ButtonClearData", "ButtonViewSetup"})
        add(name);
    toolBar->addSeparator();
    for (const char* name : {"ButtonUndo", "ButtonRedo"})
        add(name);
    toolBar->addSeparator();
    for (const char* name :
         {"ButtonSetZeroPoint", "ButtonSetXMaxPoint", "ButtonSetYMaxPoint", "ButtonFindAxes"})
        add(name);
    shape1_ = new QFrame;
    shape1_->setObjectName("Shape1");
    shape1_->setFixedSize(8, 28);
    shape1_->setAutoFillBackground(true);
    toolBar->addWidget(shape1_);
    lineButton_ = dropDownButton("ButtonSelectLine", menuOf("PopupMenu1", kLineItems, 5), 12);
    toolBar->addWidget(lineButton_);
    for (const char* name :
         {"ButtonSetPoint", "ButtonErazer", "ButtonPasteLine", "ButtonFindOnLine",
          "ButtonAvtoCorrect", "ButtonFindMarkers", "ButtonFindBars", "ButtonDigitiseChart"})
        add(name);
    toolBar->addSeparator();
    scaleButton_ = dropDownButton("ButtonChangeMashtab", menuOf("PopupMenu2", kScaleItems, 7), 27);
    scaleButton_->setToolTip(QString::fromUtf8("Мсштаб графика"));
    toolBar->addWidget(scaleButton_);
    add("ButtonHandle");
    auto* cursorButton =
        dropDownButton("ButtonSelectCursor", menuOf("PopupMenu3", kCursorItems, 5), 34);
    cursorButton->setToolTip(QString::fromUtf8("Выбор курсора"));
    toolBar->addWidget(cursorButton);
    add("ButtonCheckGrid");
    toolBar->addSeparator();
    for (const char* name :
         {"ButtonClearImage", "ButtonOnDeltaX", "ButtonFindByColor", "ButtonInputColor"})
        add(name);
}

void TFormKurvana::buildMenus() {
    menuBar()->setObjectName("MainMenu1");
    for (const MenuSpec& spec : kMenus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(spec.title));
        menu->setObjectName(spec.menuName);
        for (const auto& [name, caption] : spec.items)
            menu->addAction(action(name));
    }
}

void TFormKurvana::buildStatusBar() {
    statusBar()->setObjectName("StatusBar1");
    statusBar()->setSizeGripEnabled(true);
    const int widths[] = {200, 50, 300, 50};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel;
        panels_[i]->setFixedWidth(widths[i]);
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        statusBar()->addWidget(panels_[i]);
    }
}

void TFormKurvana::showDocumentState() {
    const std::pair<const char*, int> modes[] = {
        {"ButtonSetPoint", ModeMarks},          {"ButtonSetZeroPoint", ModeZeroPoint},
        {"ButtonSetXMaxPoint", ModeXMaxPoint},  {"ButtonSetYMaxPoint", ModeYMaxPoint},
        {"ButtonPasteLine", ModeZone},          {"ButtonErazer", ModeEraser},
        {"ButtonInputColor", ModeColourPick},   {"ButtonHandle", ModeHandScroll},
        {"ButtonFindMarkers", ModeFindMarkers}, {"ButtonFindBars", ModeFindBars}};
    // These buttons run their command when their pressed state changes (see
    // KurvanaApplication::connectCommand); showing the state must not run it again. Buttons and
    // menu items follow through the action's change events, which the blocker leaves alone.
    const auto show = [this](const char* name, bool pressed) {
        const QSignalBlocker quiet(action(name));
        action(name)->setChecked(pressed);
    };
    for (const auto& [name, mode] : modes)
        show(name, doc_.inputMode == mode);
    show("ButtonAvtoCorrect", doc_.autoCorrectOn);
    show("MenuAutocorrection", doc_.autoCorrectOn);
    show("ButtonCheckGrid", doc_.checkGridOn);
    show("menuCheckGrid", doc_.checkGridOn);

    const QColor lineColour = QColor::fromRgb(qrgbFromColour(doc_.lineColor.at(doc_.currentLine)));
    QPalette swatch = shape1_->palette();
    swatch.setColor(QPalette::Window, lineColour);
    shape1_->setPalette(swatch);
    shape1_->setStyleSheet(
        QString("background-color: %1; border: 1px solid #404040;").arg(lineColour.name()));
    lineButton_->setIcon(ToolbarIcon(11 + doc_.currentLine));
    scaleButton_->setIcon(ToolbarIcon(doc_.scaleButtonImage));
    action(kScaleItems[doc_.checkedScaleItem - 1])->setChecked(true);
    action(kCursorItems[doc_.checkedCursorItem - 1])->setChecked(true);
    picture_->setCursor(cursorOfShape(doc_.pictureCursor));
}

void TFormKurvana::showExtraTexts(const Texts& texts) {
    action("menuCheckGrid")->setText(texts.extra(ExtraText::CheckGridCaption));
    action("ButtonCheckGrid")->setToolTip(texts.extra(ExtraText::CheckGridHint));
    action("menuExportData")->setText(texts.extra(ExtraText::ExportDataCaption));
}

void TFormKurvana::setStatusText(int panel, const QString& text) {
    panels_.at(panel)->setText(text);
}

QString TFormKurvana::statusText(int panel) const {
    return panels_.at(panel)->text();
}

QSize TFormKurvana::clientSize() const {
    return size() - QSize(0, menuBar()->sizeHint().height());
}

void TFormKurvana::setClientSize(const QSize& size) {
    resize(size + QSize(0, menuBar()->sizeHint().height()));
    FormResize();
}

void TFormKurvana::FormResize() {
    const QSize client = clientSize();
    scrollBox_->resize(client.width() - 10, client.height() - 70);
}

void TFormKurvana::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFormKurvana::showUnsaved(bool unsaved) {
    // The caption itself is the language file's; only the mark is this window's.
    QString caption = windowTitle();
    if (unsavedShown_ && caption.startsWith("* "))
        caption.remove(0, 2);
    unsavedShown_ = unsaved;
    setWindowTitle(unsaved ? "* " + caption : caption);
}

void TFormKurvana::closeEvent(QCloseEvent* event) {
    if (closeGuard_ && !closeGuard_()) {
        event->ignore();
        return;
    }
    emit closing();
    event->accept();
}

void TFormKurvana::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TFormKurvana::dropEvent(QDropEvent* event) {
    const auto urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        emit fileDropped(urls.first().toLocalFile());
}

} // namespace kurvana
