#pragma once

#include <QDialog>

#include "io/pdfpagerequest.h"

class QLabel;
class QListView;
class QPushButton;
class QSpinBox;

namespace kurvana {

class PagePreview;
class PdfFile;
class PageThumbnails;
class Texts;

/// The page chooser of a PDF: a grid of page thumbnails (only for more than one page), the
/// enlarged page on which a region may be framed, the page number and the resolution with the
/// size of the picture they give. A size beyond the picture limit is refused here, with the
/// reason, before anything is rendered.
class PageChooserWindow : public QDialog {
    Q_OBJECT
public:
    PageChooserWindow(const PdfFile& pdf, const PdfPageRequest& proposal, const Texts& texts,
                      QWidget* parent = nullptr);

    /// What the controls ask for now.
    PdfPageRequest request() const;
    /// The page spin box, resolution spin box and preview, for tests that drive the window.
    QSpinBox& pageBox() { return *page_; }
    QSpinBox& dpiBox() { return *dpi_; }
    PagePreview& preview() { return *preview_; }
    QPushButton& openButton() { return *open_; }
    const QLabel& sizeLabel() const { return *size_; }

private:
    QWidget* makeGrid();
    QWidget* makeControls();
    void showPage(int page);
    void showSize();

    const PdfFile& pdf_;
    const Texts& texts_;
    PageThumbnails* thumbnails_ = nullptr;
    QListView* grid_ = nullptr;
    PagePreview* preview_ = nullptr;
    QSpinBox* page_ = nullptr;
    QSpinBox* dpi_ = nullptr;
    QLabel* size_ = nullptr;
    QPushButton* open_ = nullptr;
};

} // namespace kurvana
