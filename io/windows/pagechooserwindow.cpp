#include "io/windows/pagechooserwindow.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/texts.h"
#include "io/pdffile.h"
#include "io/picturefile.h"
#include "io/windows/pagepreview.h"
#include "io/windows/pagethumbnails.h"

namespace kurvana {

namespace {

constexpr int kThumbnailSide = 120;
constexpr int kGridWidth = 3 * (kThumbnailSide + 24) + 24;
constexpr int kPreviewRenderSide = 900;
constexpr QSize kWindowSize(1180, 760);

} // namespace

PageChooserWindow::PageChooserWindow(const PdfFile& pdf, const PdfPageRequest& proposal,
                                     const Texts& texts, QWidget* parent)
    : QDialog(parent), pdf_(pdf), texts_(texts) {
    setObjectName("PageChooser");
    setWindowTitle(texts.extra(ExtraText::PdfChooserTitle).arg(QFileInfo(pdf.path()).fileName()));
    auto* layout = new QHBoxLayout(this);
    // A single page needs no grid to choose from.
    if (pdf.pageCount() > 1)
        layout->addWidget(makeGrid());
    preview_ = new PagePreview(this);
    layout->addWidget(preview_, 1);
    layout->addWidget(makeControls());

    dpi_->setValue(proposal.dpi);
    page_->setValue(proposal.page);
    showPage(proposal.page);
    resize(kWindowSize);
    connect(page_, &QSpinBox::valueChanged, this, &PageChooserWindow::showPage);
    connect(dpi_, &QSpinBox::valueChanged, this, &PageChooserWindow::showSize);
    connect(preview_, &PagePreview::regionChanged, this, &PageChooserWindow::showSize);
}

QWidget* PageChooserWindow::makeGrid() {
    thumbnails_ = new PageThumbnails(pdf_, kThumbnailSide, this);
    grid_ = new QListView(this);
    grid_->setObjectName("PageGrid");
    grid_->setViewMode(QListView::IconMode);
    grid_->setMovement(QListView::Static);
    grid_->setResizeMode(QListView::Adjust);
    grid_->setIconSize({kThumbnailSide, kThumbnailSide});
    grid_->setGridSize({kThumbnailSide + 20, kThumbnailSide + 36});
    // Uniform items keep the view from asking every page for its thumbnail to lay them out.
    grid_->setUniformItemSizes(true);
    // The grid keeps its width; the enlarged page takes what the window gains.
    grid_->setFixedWidth(kGridWidth);
    grid_->setModel(thumbnails_);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    page_->setValue(current.row() + 1);
            });
    // A double click opens the page as it stands, as in a file dialog.
    connect(grid_, &QListView::doubleClicked, this, [this] {
        if (open_->isEnabled())
            accept();
    });
    return grid_;
}

QWidget* PageChooserWindow::makeControls() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    auto* form = new QFormLayout;
    page_ = new QSpinBox(panel);
    page_->setObjectName("PageNumber");
    page_->setRange(1, pdf_.pageCount());
    dpi_ = new QSpinBox(panel);
    dpi_->setObjectName("Resolution");
    dpi_->setRange(kPdfMinDpi, kPdfMaxDpi);
    dpi_->setSingleStep(50);
    form->addRow(texts_.extra(ExtraText::PdfPageLabel), page_);
    form->addRow(texts_.extra(ExtraText::PdfResolutionLabel), dpi_);
    column->addLayout(form);

    size_ = new QLabel(panel);
    size_->setObjectName("PictureSize");
    size_->setWordWrap(true);
    size_->setMinimumWidth(240);
    column->addWidget(size_);
    auto* hint = new QLabel(texts_.extra(ExtraText::PdfRegionHint), panel);
    hint->setWordWrap(true);
    column->addWidget(hint);
    auto* whole = new QPushButton(texts_.extra(ExtraText::PdfWholePage), panel);
    whole->setObjectName("WholePage");
    connect(whole, &QPushButton::clicked, this, [this] { preview_->clearRegion(); });
    column->addWidget(whole);
    column->addStretch(1);

    auto* buttons = new QDialogButtonBox(panel);
    open_ =
        buttons->addButton(texts_.extra(ExtraText::PdfOpenButton), QDialogButtonBox::AcceptRole);
    open_->setObjectName("Open");
    open_->setDefault(true);
    buttons->addButton(texts_.extra(ExtraText::PdfCancelButton), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    return panel;
}

PdfPageRequest PageChooserWindow::request() const {
    return {page_->value(), dpi_->value(), preview_->region()};
}

void PageChooserWindow::showPage(int page) {
    preview_->showPage(pdf_.thumbnail(page, kPreviewRenderSide), pdf_.pageSize(page));
    if (grid_ != nullptr && grid_->currentIndex().row() != page - 1)
        grid_->setCurrentIndex(thumbnails_->index(page - 1));
    showSize();
}

void PageChooserWindow::showSize() {
    const PdfPageRequest asked = request();
    const PdfPixels pixels = PdfRenderPixels(pdf_.pageSize(asked.page), asked);
    const QSize size = pixels.rect().size();
    const QString width = QString::number(pixels.width);
    const QString height = QString::number(pixels.height);
    const bool tooLarge = pixels.tooLarge();
    size_->setText(tooLarge
                       ? texts_.extra(ExtraText::PdfPictureTooLarge)
                             .arg(width, height, QString::number(kMaxPictureSide))
                       : texts_.extra(ExtraText::PdfPictureSize)
                             .arg(width, height, QString::number(PictureMegabytes(size), 'f', 1)));
    size_->setStyleSheet(tooLarge ? "color: #b00000;" : QString());
    open_->setEnabled(!tooLarge && !size.isEmpty());
}

} // namespace kurvana
