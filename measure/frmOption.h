#pragma once
// The options window: how the open drawing is measured and shown, and where
// its scale is calibrated. Tab 0 "全般" (mode, units, decimals, scale,
// extension lines, polygon closing, aspect adjustment), 1 "傾き補正" (the
// tilt from two points), 2 "既知の距離設定" (known horizontal and vertical
// distances), 3 "既知の経緯度設定" (two points of known longitude and
// latitude).
//
// The window writes the drawing's settings directly. The tilt points and
// angles and the correspondence points fall back to the kept copies when
// the window closes unless their tab's "設定" confirmed them. The editor
// loads the window hidden with every drawing and shows it modeless; while
// it is open clicks on the map pick the points of the tab in front.

#include "app/types.h"
#include "measure/calibration.h"
#include "platform/controls.h"
#include "platform/form.h"

#include <array>
#include <optional>

class frmEdit;

class frmOption : public platform::Form {
    Q_OBJECT
public:
    frmOption();

    template <class T>
    using Array = platform::ControlArray<T>;

    platform::TabControl* SSTab = nullptr;
    platform::CommandButton* cmdOK = nullptr;

    // --- 全般 -------------------------------------------------------------------
    Array<platform::OptionButton> optMOde{QStringLiteral("optMOde")};    // 0 distances, 1 longitude/latitude
    Array<platform::OptionButton> optUnitD{QStringLiteral("optUnitD")};  // 0..13
    Array<platform::OptionButton> optUnitS{QStringLiteral("optUnitS")};  // 0..13
    platform::VScrollBar* vscDPointD = nullptr;
    platform::VScrollBar* vscDPointS = nullptr;
    platform::Label* lblDPointD = nullptr;
    platform::Label* lblDPointS = nullptr;
    platform::TextBox* txtScale = nullptr;
    platform::TextBox* txtHojoLen = nullptr;
    platform::CheckBox* chkSnap = nullptr;
    platform::CheckBox* chkPictAdj = nullptr;

    // --- 傾き補正: (0..3) the two points, (4..7) the angles shown -------------------
    Array<platform::TextBox> txtHosei{QStringLiteral("txtHosei")};
    platform::CommandButton* cmdAngSet = nullptr;

    // --- 既知の距離設定: (0..5) horizontal x1 y1 x2 y2 length real, (6..11) vertical --
    Array<platform::TextBox> txtXY{QStringLiteral("txtXY")};
    Array<platform::Label> lblUnit{QStringLiteral("lblUnit")};    // 0 horizontal, 1 vertical
    Array<platform::Label> lblRecio{QStringLiteral("lblRecio")};  // 0, 1 scales, 2 aspect
    platform::CommandButton* cmdSettei = nullptr;

    // --- 既知の経緯度設定: picture X, Y; degrees, minutes, seconds, whole seconds -----
    Array<platform::TextBox> txtPict_mm1{QStringLiteral("txtPict_mm1")};
    Array<platform::TextBox> txtPict_mm2{QStringLiteral("txtPict_mm2")};
    Array<platform::TextBox> txtKeido1{QStringLiteral("txtKeido1")};
    Array<platform::TextBox> txtIdo1{QStringLiteral("txtIdo1")};
    Array<platform::TextBox> txtKeido2{QStringLiteral("txtKeido2")};
    Array<platform::TextBox> txtIdo2{QStringLiteral("txtIdo2")};
    Array<platform::Label> lblPara{QStringLiteral("lblPara")};  // 0..7
    platform::CommandButton* cmdCnv = nullptr;

    // The confirmed tilt points, tilt angles and correspondence points, put
    // back when the window closes.
    std::array<float, 4> sngHoseiBak{};
    std::array<double, 4> dblHoseiBak{};
    std::array<typPointS, 2> tpPiccelBak{};

    // The scale and aspect labels from the known-distance boxes as they stand.
    void subDisp_Rato();
    // Releases a window left from the drawing before without writing
    // anything back into the settings of the drawing now opening.
    void subDiscard();

    // --- event handlers ---------------------------------------------------------------
    void cmdOK_Click();
    void SSTab_Click(int previousTab);
    void optMOde_Click(int index);
    void optUnitD_Click(int index);
    void optUnitD_KeyPress(int index, int& keyAscii);
    void optUnitS_Click(int index);
    void vscDPointD_Change();
    void vscDPointS_Change();
    void txtNumber_KeyPress(platform::TextBox& box, int& keyAscii);  // txtHojoLen, txtScale
    void txtNumber_LostFocus(platform::TextBox& box);
    void chkSnap_Click();
    void chkPictAdj_Click();
    void txtHosei_KeyPress(int index, int& keyAscii);
    void txtHosei_LostFocus(int index);
    void cmdAngSet_Click();
    void txtXY_KeyPress(int index, int& keyAscii);
    void txtXY_LostFocus(int index);
    void cmdSettei_Click();
    void txtPict_KeyPress(int point, int index, int& keyAscii);  // point 0: txtPict_mm1, 1: txtPict_mm2
    void txtPict_LostFocus(int point, int index);
    void txtAngle_KeyPress(int row, int index, int& keyAscii);  // rows: txtKeido1, txtIdo1, txtKeido2, txtIdo2
    void txtAngle_LostFocus(int row, int index);
    void txtAngle_LengthRefused(int row, int index);  // a text beyond a box's digits
    void cmdCnv_Click();

    double fncGet_Aspect(double& x, double& y);
    std::optional<double> fncChk_DMS(qint16& index, platform::TextBox& box, typDMS& dms);
    platform::TextBox& angleBox(int row, int index);

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;

private:
    void buildGeneral(QWidget* page);
    void buildTilt(QWidget* page);
    void buildKnownDistance(QWidget* page);
    void buildKnownPosition(QWidget* page);
    void connectHandlers();

    void subDisp_Para();
    void subDisp_HoseiAngle();
    void subDisp_Unit();
    void subSet_TabMode(qint16& tab);
    void subDisp_Taiou();
    void setTabsForMode();
    // The scale of the calibration of the mode just chosen, taken as its
    // "設定" made it; false where the mode has none (nothing changes).
    bool takeKnownDistanceScale();
    bool takeKeiIdoScale();
    bool refusesScale(platform::TextBox& box);  // a typed scale not above 0, refused with a box
    void setSetting(float& setting, float value);  // marks the drawing changed when it differs
    void markChanged();
    // The editor, when it is open; the window never opens one itself.
    static frmEdit* fncEditor();

    bool m_loading = false;      // Form_Load runs: the controls follow the settings
    bool m_discard = false;      // released without writing back
    // The tilt points and angles the position calibration last ran with,
    // since the load.
    struct typTilt {
        std::array<float, 4> points;
        std::array<double, 4> angles;
        bool operator==(const typTilt&) const = default;
    };
    std::optional<typTilt> m_cnvTilt;
    // The ratios and stretch in force are the position calibration's (its
    // "設定" ran after the known-distance one).
    bool m_ratioFromCnv = false;
    // The last position calibration made under the tilt the drawing keeps
    // (at first the one it had before this window's first conversion): what
    // the drawing keeps when the closing cannot calibrate the points again
    // under the tilt put back.
    struct typKeiIdoState {
        std::array<typPointS, 2> points;
        std::array<typDMS, 2> longitudes, latitudes;
        std::array<double, 2> lonSeconds, latSeconds;
        mdlSub::typKeiIdoCalibration calibration;
        static typKeiIdoState fncTake();
        void restore() const;
    };
    std::optional<typKeiIdoState> m_keptKeiIdo;
    // The position calibration over the editor's picture as it stands.
    static mdlSub::KeiIdoFault fncCalc_KeiIdo();
    bool m_editorLocked = false;  // the editor's commands are disabled by this window
    bool m_saveEnabled = false;   // their state before
    bool m_zoomEnabled = false;
};
