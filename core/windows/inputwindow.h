#pragma once

#include <array>
#include <vector>

#include <QWidget>

#include "core/axistext.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

namespace kurvana {

struct Workspace;
class FramePanel;

/// TFormInput: the four axis values. Typed texts go into the document at once; Enter
/// recomputes everything and moves the focus on.
class TFormInput : public QWidget {
    Q_OBJECT
public:
    TFormInput(Workspace& ws, QWidget* parent = nullptr);

    /// The edits take the document's axis texts (after a data file or the settings).
    void showDocumentTexts();
    void setStayOnTop(bool on);
    bool stayOnTop() const;
    /// The frame part follows the document (the pressed point button after a mode change).
    void showFrameState();
    /// The frame part's captions in the current language.
    void showExtraTexts();

    QLineEdit* EditMaxX;
    QLineEdit* EditMaxY;
    QLineEdit* EditMinX;
    QLineEdit* EditMinY;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void storeTexts();
    /// Enter: RefreshValues, then the next edit; when the values could not be refreshed the
    /// focus goes to the first edit whose text is not a number (or stays where it was).
    void enterPressed(QLineEdit* edit);
    QLineEdit* firstEditNotANumber() const;
    AxisName axisOf(const QLineEdit* edit) const;

    /// The edits Enter moves through: the four axis values, or those of the frame.
    std::vector<QLineEdit*> shownEdits() const;

    Workspace& ws_;
    QGroupBox* threePoints_ = nullptr;
    FramePanel* frame_ = nullptr;
    QCheckBox* stayOnTop_;
    bool showing_ = false;
};

} // namespace kurvana
