#include "library/frmThumbnail.h"

#include "app/globals.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/ui.h"

#include <QFileInfo>

using namespace platform;
namespace files = platform::files;

namespace {
constexpr int kCellWidthTwips = 825;
constexpr int kCellHeightTwips = 600;
constexpr qint32 kYellow = 0x00FFFF;  // RGB(255, 255, 0) as 0x00BBGGRR
}  // namespace

frmThumbnail::frmThumbnail() : Form(QStringLiteral("frmThumbnail"))
{
    m_client = new QWidget(this);
    setCentralWidget(m_client);

    pictWindow = new PictureBox(QStringLiteral("pictWindow"), m_client);
    pictWindow->setScaleMode(vbPixels);
    pictMap = new PictureBox(QStringLiteral("pictMap"), pictWindow);
    pictMap->setBorderStyle(0);
    pictMap->setScaleMode(vbMillimeters);

    // Beneath the cells: a black box 1 mm larger than the current cell, so
    // that it shows as a dark frame in the gaps around it.
    shapCur = std::make_unique<ShapeElement>(pictMap);
    shapCur->Name = QStringLiteral("shapCur");
    shapCur->FillStyle = 0;
    shapCur->FillColor = 0;
    shapCur->BorderColor = kYellow;
    shapCur->BorderStyle = 1;
    shapCur->BorderWidth = 1;
    shapCur->DrawMode = vbMaskPen;
    shapCur->Visible = false;
    newCell(0);

    imgSelect = new PictureBox(QStringLiteral("imgSelect"), m_client);
    imgSelect->setBorderStyle(0);
    imgSelect->setToolTip(QStringLiteral("クリックで元に戻ります"));
    imgSelect->hide();
    imgSelect->Click = [this] { dispatch(QStringLiteral("imgSelect_Click"), [this] { imgSelect_Click(); }); };

    vscY = new VScrollBar(QStringLiteral("vscY"), m_client);
    hscX = new HScrollBar(QStringLiteral("hscX"), m_client);
    fileList = new FileListBox(QStringLiteral("fileList"), m_client);
    fileList->setPattern(QString());  // lists nothing until Form_Load gives it a folder
    lblMesage = new Label(QStringLiteral("lblMesage"), m_client);
    lblMesage->setWordWrap(true);
    cmdOK = new CommandButton(QStringLiteral("cmdOK"), m_client);
    cmdOK->setCaption(QStringLiteral("OK"));
    cmdCloase = new CommandButton(QStringLiteral("cmdCloase"), m_client);
    cmdCloase->setCaption(QStringLiteral("Cancel"));
    cmdReDisp = new CommandButton(QStringLiteral("cmdReDisp"), m_client);
    cmdReDisp->hide();
    stsBar = new StatusBar(QStringLiteral("stsBar"), m_client);
    stsBar->setAlign(2);
    stsBar->Panels(1).setWidth(2400);
    stsBar->AddPanel().setAutoSize(StatusPanel::sbrSpring);
    pgsBar = new ProgressBar(QStringLiteral("pgsBar"), m_client);

    fileList->Click = [this] { fileList_Click(); };
    fileList->DblClick = [this] { fileList_DblClick(); };
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCloase->Click = [this] { cmdCloase_Click(); };
    cmdReDisp->Click = [this] { cmdReDisp_Click(); };
    vscY->Change = [this] { vscY_Change(); };
    hscX->Change = [this] { hscX_Change(); };
}

frmThumbnail::~frmThumbnail() = default;

// A cell takes cell 0's size and look, and starts hidden.
PictureBox* frmThumbnail::newCell(int index)
{
    auto* cell = new PictureBox(QStringLiteral("imgPictureS"), pictMap);
    cell->setBorderStyle(0);
    cell->resize(twipsToPixels(kCellWidthTwips), twipsToPixels(kCellHeightTwips));
    cell->hide();
    cell->MouseMove = [this, index](int, int, double, double) {
        dispatch(QStringLiteral("imgPictureS_MouseMove"), [this, index] { imgPictureS_MouseMove(index); });
    };
    cell->MouseDown = [this, index](int button, int, double, double) {
        dispatch(QStringLiteral("imgPictureS_MouseDown"), [this, index, button] { imgPictureS_MouseDown(index, button); });
    };
    cell->DblClick = [this, index] {
        dispatch(QStringLiteral("imgPictureS_DblClick"), [this, index] { imgPictureS_DblClick(index); });
    };
    imgPictureS.append(cell);
    return cell;
}

int frmThumbnail::loadedFiles() const
{
    return int(std::min<qsizetype>(fileList->ListCount(), imgPictureS.size()));
}

// --- lifecycle ------------------------------------------------------------------------

void frmThumbnail::Form_Load()
{
    setTopMost(this, true);
    GE_booThumbnail = true;
    GE_strMapImage.clear();
    subInit_Thumb();
    if (!GE_strFolder.isEmpty() && files::dirExists(GE_strFolder)) {
        const QString name = QFileInfo(GE_strFolder).fileName();
        stsBar->Panels(1).setText(name.isEmpty() ? GE_strFolder : name);
        fileList->setPath(GE_strFolder);
        fileList->setPattern(FilePattern);
        stsBar->Panels(2).setText(QString());
    }
}

void frmThumbnail::subInit_Thumb()
{
    setCaption(app::title());
    // 9405 x 7050 twips is the outer size; the client is that less the frame.
    const int frameW = metricPixels(Metric::FrameWidth);
    const int frameH = metricPixels(Metric::FrameHeight);
    resize(twipsToPixels(9405) - 2 * frameW,
           twipsToPixels(7050) - metricPixels(Metric::CaptionHeight) - 2 * frameH);
    pictWindow->Move(0, 0);
    pictWindow->show();
    pictMap->Move(0, 0);
    imgPictureS[0]->hide();
    imgSelect->hide();
    pgsBar->hide();
}

void frmThumbnail::Form_Activate()
{
    // Once only: a message shown while loading activates the window again.
    if (m_booActivated)
        return;
    m_booActivated = true;
    subDisp(GE_strFolder);
    subArrange_Thumb();
    cmdReDisp_Click();
}

void frmThumbnail::Form_Unload(int&)
{
    GE_booThumbnail = false;
}

// --- selection ------------------------------------------------------------------------

void frmThumbnail::cmdReDisp_Click()
{
    const int count = loadedFiles();
    for (int i = 0; i < count; ++i)
        imgPictureS[i]->show();
    shapCur->Visible = count > 0;
}

void frmThumbnail::fileList_Click()
{
    const int i = fileList->ListIndex();
    if (!validCell(i))
        return;
    PictureBox* cell = imgPictureS[i];
    if (imgSelect->isHidden()) {
        shapCur->Move(float(cell->Left() - 1), float(cell->Top() - 1), float(cell->Width() + 2),
                      float(cell->Height() + 2));
    } else {
        m_previewCell = i;
        m_previewWhole = false;
        subDraw_Preview();
    }
    stsBar->Panels(2).setText(cell->toolTip());
}

void frmThumbnail::fileList_DblClick()
{
    cmdOK_Click();
}

void frmThumbnail::imgPictureS_MouseMove(int index)
{
    if (index < fileList->ListCount())
        fileList->setListIndex(index);
}

void frmThumbnail::imgPictureS_MouseDown(int index, int button)
{
    if (!validCell(index))
        return;
    if (button == 1)
        stsBar->Panels(2).setText(imgPictureS[index]->toolTip());
    else if (button == 2)
        subShow_Preview(index);
}

void frmThumbnail::imgPictureS_DblClick(int)
{
    cmdOK_Click();
}

void frmThumbnail::showForm(platform::ShowMode mode, Accept accept)
{
    m_accept = std::move(accept);
    Form::showForm(mode);
}

void frmThumbnail::cmdOK_Click()
{
    // A file that can't be shown can't be opened as a drawing's picture
    // either: the user is told which and why, and chooses again.
    const QString name = stsBar->Panels(2).Text();
    if (const auto bad = m_undecodable.constFind(name); bad != m_undecodable.cend()) {
        vb::MsgBox(*bad + vb::vbCrLf + QStringLiteral("別の画像ファイルを選んでください。"), vb::vbExclamation,
                   QStringLiteral("画像ファイル"));
        return;
    }
    if (m_accept && !name.isEmpty() && !m_accept(files::join(GE_strFolder, name)))
        return;
    GE_strMapImage = name;
    unload();
}

void frmThumbnail::cmdCloase_Click()
{
    GE_strMapImage.clear();
    unload();
}

// --- preview --------------------------------------------------------------------------

void frmThumbnail::subShow_Preview(int index)
{
    pictWindow->hide();
    m_previewCell = index;
    m_previewWhole = true;
    subDraw_Preview();
    imgSelect->show();
    imgSelect->raise();
    stsBar->Panels(2).setText(imgPictureS[index]->toolTip());
}

// The preview's picture at the preview's size: the whole file after a right
// click, the cell's thumbnail while the list moves on. A file that can't be
// read shows its thumbnail.
void frmThumbnail::subDraw_Preview()
{
    if (!validCell(m_previewCell))
        return;
    const QSize size = imgSelect->size();
    const PictureBox* cell = imgPictureS[m_previewCell];
    if (m_previewWhole) {
        try {
            imgSelect->setPicture(loadPictureAt(files::join(GE_strFolder, cell->toolTip()), size));
            return;
        } catch (const vb::Error&) {
        }
    }
    if (cell->hasPicture() && !size.isEmpty())
        imgSelect->setPicture(SharedImage(new QImage(
            cell->picture()->scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))));
    else
        imgSelect->setPicture(SharedImage());
}

void frmThumbnail::imgSelect_Click()
{
    imgSelect->hide();
    pictWindow->show();
}

// --- scrolling ------------------------------------------------------------------------

void frmThumbnail::vscY_Change()
{
    pictMap->setTop(-vscY->Value());
}

void frmThumbnail::hscX_Change()
{
    pictMap->setLeft(-hscX->Value());
}
