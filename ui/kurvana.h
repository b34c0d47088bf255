#pragma once

#include <functional>
#include <map>

#include <QMainWindow>

class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;

namespace kurvana {

struct Document;
class PictureWidget;
class Texts;

/// TFormKurvana: the main window. It holds the toolbar, the menus, the status bar and the
/// picture in its scroll box; which command each control runs is wired by the application.
class TFormKurvana : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormKurvana(const Document& doc, QWidget* parent = nullptr);

    /// The action of a toolbar button or menu item, by its control name.
    QAction* action(const QString& name) const;
    PictureWidget* imgGrafik() const { return picture_; }
    QScrollArea* ScrollBox1() const { return scrollBox_; }

    /// Buttons, check marks, images, the line swatch and the picture cursor follow the document.
    void showDocumentState();
    /// The captions and hints that come from the extra texts of the language file.
    void showExtraTexts(const Texts& texts);
    /// Text of status-bar panel 0..3.
    void setStatusText(int panel, const QString& text);
    QString statusText(int panel) const;
    /// A leading '*' on the caption while the work holds changes not saved.
    void showUnsaved(bool unsaved);
    /// Asked before the window closes; false keeps it open.
    void setCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }
    /// The client area: the window without its menu bar.
    QSize clientSize() const;
    void setClientSize(const QSize& size);

signals:
    /// The window is closing (title bar, system or E&xit answered Yes).
    void closing();
    /// Files were dropped onto the window: the first one is opened as the command line would.
    void fileDropped(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* addCommand(const QString& name, const QString& text, int image = -1);
    void buildActions();
    void buildToolBar();
    void buildMenus();
    void buildStatusBar();
    QToolButton* dropDownButton(const QString& name, QMenu* menu, int image);
    void FormResize();

    const Document& doc_;
    std::map<QString, QAction*> actions_;
    PictureWidget* picture_;
    QScrollArea* scrollBox_;
    QFrame* shape1_ = nullptr;
    QToolButton* lineButton_ = nullptr;
    QToolButton* scaleButton_ = nullptr;
    std::array<QLabel*, 4> panels_{};
    std::function<bool()> closeGuard_;
    bool unsavedShown_ = false;
};

} // namespace kurvana
