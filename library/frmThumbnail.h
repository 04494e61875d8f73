#pragma once
// The thumbnail browser: every BMP, JPEG and GIF file of the folder
// GE_strFolder as a small picture in a scrolling grid, beside the list of
// their names; a right click shows the whole picture enlarged. OK leaves
// the chosen file's name in GE_strMapImage ("" when cancelled).
//
// JPEG thumbnails come from the camera's EXIF thumbnail where there is one,
// cached in the TEMP folder for the rest of the run; every picture is
// decoded at the size it is shown.

#include "platform/controls.h"
#include "platform/elements.h"
#include "platform/form.h"
#include "platform/picturebox.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <functional>
#include <memory>

class frmThumbnail : public platform::Form {
    Q_OBJECT
public:
    frmThumbnail();
    ~frmThumbnail() override;

    platform::PictureBox* pictWindow = nullptr;  // the pane, in pixels
    platform::PictureBox* pictMap = nullptr;     // the canvas inside it, in millimetres
    QList<platform::PictureBox*> imgPictureS;    // cell i shows file i; its tooltip is the file's name
    std::unique_ptr<platform::ShapeElement> shapCur;  // the frame around the current cell
    platform::PictureBox* imgSelect = nullptr;   // the enlarged preview
    platform::VScrollBar* vscY = nullptr;
    platform::HScrollBar* hscX = nullptr;
    platform::FileListBox* fileList = nullptr;
    platform::Label* lblMesage = nullptr;
    platform::CommandButton* cmdOK = nullptr;
    platform::CommandButton* cmdCloase = nullptr;
    platform::CommandButton* cmdReDisp = nullptr;  // hidden
    platform::StatusBar* stsBar = nullptr;
    platform::ProgressBar* pgsBar = nullptr;

    static inline const QString FilePattern = QStringLiteral("*.bmp;*.jpg;*.gif");

    // Judges a choice on OK, given the chosen file's full path: false keeps
    // the window open for another choice (the judge has told the user why)
    // and GE_strMapImage stays "".
    using Accept = std::function<bool(const QString& path)>;
    // Shows the window; an opener that takes the picture in at once passes
    // its judge, which holds for this showing only.
    void showForm(platform::ShowMode mode, Accept accept);
    using platform::Form::showForm;

    void fileList_Click();
    void fileList_DblClick();
    void imgPictureS_MouseMove(int index);
    void imgPictureS_MouseDown(int index, int button);
    void imgPictureS_DblClick(int index);
    void imgSelect_Click();
    void cmdOK_Click();
    void cmdCloase_Click();
    void cmdReDisp_Click();
    void vscY_Change();
    void hscX_Change();

    // Where the EXIF thumbnail of a picture is cached: named after the
    // picture's full path, size and modification time, so a picture of the
    // same name elsewhere, or changed since, gets its own.
    static QString thumbnailCacheName(const QString& picturePath);
    static QString thumbnailCachePath(const QString& picturePath);  // that name in TEMP
    // A picture decoded straight at `size` (stretched to it), within the
    // largest picture the program accepts. Raises 481 for a file that
    // can't be read as a picture, 53 for a missing one.
    static platform::SharedImage loadPictureAt(const QString& path, const QSize& size);

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload(int& cancel) override;

private:
    void subInit_Thumb();
    void subDisp(const QString& folder);
    void subLoad_Cells(const QString& folder);
    platform::SharedImage subLoad_Cell(const QString& picturePath) const;
    void subArrange_Thumb();
    void subSet_ThumbScroll();
    void subShow_Preview(int index);
    void subDraw_Preview();
    platform::PictureBox* newCell(int index);
    bool validCell(int index) const { return index >= 0 && index < imgPictureS.size(); }
    int loadedFiles() const;

    QWidget* m_client = nullptr;
    Accept m_accept;
    bool m_booActivated = false;
    int m_previewCell = -1;      // the cell the preview shows
    bool m_previewWhole = false;  // the whole file (right click), not the cell's thumbnail
    // The files that can't be shown, so can't be chosen: name -> why.
    QHash<QString, QString> m_undecodable;
};
