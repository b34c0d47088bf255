#pragma once

#include <array>
#include <vector>

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kurvana {

struct Workspace;

/// The Input window's part for the perspective and polar frames: the choice of frame, the
/// buttons that let the next clicks place the frame's points, and the values typed for them.
/// Typed texts go into the document at once, as the axis texts do.
class FramePanel : public QWidget {
    Q_OBJECT
public:
    /// `keyFilter` watches the edits (the Input window: Enter and the accepted characters).
    FramePanel(Workspace& ws, QObject* keyFilter, QWidget* parent = nullptr);

    /// The captions in the current language.
    void showExtraTexts();
    /// Texts, choices and the pressed point button from the document.
    void showDocumentState();
    /// The edits of the shown frame, in the order Enter moves through them.
    std::vector<QLineEdit*> edits() const;

signals:
    /// The frame was chosen: the three-point edits show or hide.
    void frameChosen();

private:
    QGroupBox* makePerspectiveGroup(QObject* keyFilter);
    QGroupBox* makePolarGroup(QObject* keyFilter);
    QPushButton* pointButton(int index);
    QLineEdit* edit(QObject* keyFilter);
    void storeTexts();
    void storeChoices();

    Workspace& ws_;
    bool showing_ = false;
    QComboBox* frame_;
    QGroupBox* perspective_;
    QGroupBox* polar_;
    std::array<QLineEdit*, 4> editX_{}, editY_{};
    QLineEdit *angle_ = nullptr, *radius_ = nullptr, *centreRadius_ = nullptr;
    QComboBox *direction_ = nullptr, *unit_ = nullptr, *radiusScale_ = nullptr;
    std::array<QLabel*, 3> polarLabels_{};
    std::vector<QPushButton*> pointButtons_; ///< the four perspective points, centre, reference
};

} // namespace kurvana
