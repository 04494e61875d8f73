-- The template database: the seven tables of a drawing database file and
-- its one system row. Declared types are the ones the database layer reads
-- values back by (BIT truth value, SHORT 16-bit, LONG 32-bit, SINGLE,
-- DOUBLE, DATETIME stored as text, TEXT).

CREATE TABLE tSystem (
    System_Id LONG,
    strPassWord TEXT,
    strUserId TEXT,
    strComment TEXT,
    strCopyRight TEXT,
    datReDate DATETIME
);

CREATE TABLE tPrint (
    Print_Id INTEGER PRIMARY KEY AUTOINCREMENT,
    strNo TEXT,
    strName TEXT,
    strFileName TEXT,
    strPath TEXT,
    strPassWord TEXT,
    booEdit BIT,
    booVisible BIT,
    booModeDis BIT,
    booModeKei BIT,
    sngHojoLen SINGLE,
    sngScale SINGLE,
    booSnap BIT,
    booPictAdj BIT,
    sngPictAdj SINGLE,
    booPrtCmt BIT,
    intUnitDIndex SHORT,
    sngKeisuD SINGLE,
    intUnitSIndex SHORT,
    sngKeisuS SINGLE,
    sngHosei0 SINGLE,
    dblHosei0 DOUBLE,
    sngHosei1 SINGLE,
    dblHosei1 DOUBLE,
    sngHosei2 SINGLE,
    dblHosei2 DOUBLE,
    sngHosei3 SINGLE,
    dblHosei3 DOUBLE,
    tpPiccelD0_sngX SINGLE,
    tpPiccelD1_sngX SINGLE,
    tpPiccelD2_sngX SINGLE,
    tpPiccelD3_sngX SINGLE,
    tpPiccelD0_sngY SINGLE,
    tpPiccelD1_sngY SINGLE,
    tpPiccelD2_sngY SINGLE,
    tpPiccelD3_sngY SINGLE,
    sngPiccelD_X SINGLE,
    sngPiccelD_Y SINGLE,
    sngDistanceD_X SINGLE,
    sngDistanceD_Y SINGLE,
    tpPtoD_r_dblX DOUBLE,
    tpPtoD_r_dblY DOUBLE,
    dblAspectM DOUBLE,
    tpPiccel0_sngX SINGLE,
    tpPiccel0_sngY SINGLE,
    tpPiccel1_sngX SINGLE,
    tpPiccel1_sngY SINGLE,
    tpKeIdo0_intDeg SHORT,
    tpKeIdo0_intMin SHORT,
    tpKeIdo0_sngSec SINGLE,
    tpKeIdo1_intDeg SHORT,
    tpKeIdo1_intMin SHORT,
    tpKeIdo1_sngSec SINGLE,
    tpIdo0_intDeg SHORT,
    tpIdo0_intMin SHORT,
    tpIdo0_sngSec SINGLE,
    tpIdo1_intDeg SHORT,
    tpIdo1_intMin SHORT,
    tpIdo1_sngSec SINGLE,
    dblKeido0 DOUBLE,
    dblKeido1 DOUBLE,
    dblIdo0 DOUBLE,
    dblIdo1 DOUBLE,
    tpPtoK_r_dblX DOUBLE,
    tpPtoK_r_dblY DOUBLE,
    tpKtoP_r_dblX DOUBLE,
    tpKtoP_r_dblY DOUBLE,
    tpPx00ToKei_dblLatitude DOUBLE,
    tpPx00ToKei_dblLongitude DOUBLE,
    tpKI00ToPx_dblX DOUBLE,
    tpKI00ToPx_dblY DOUBLE,
    datHizuke DATETIME,
    datRenew DATETIME
);

-- The font size keeps its fraction (10.5), whatever its name says.
CREATE TABLE tLabel (
    Print_ID LONG,
    strObjName TEXT,
    intIndex SHORT,
    strCaption TEXT,
    strToolTipText TEXT,
    Tag TEXT,
    intAlignment SHORT,
    intAppearance SHORT,
    sngLeft SINGLE,
    sngTop SINGLE,
    intFontSize SINGLE,
    booFontBold BIT,
    booFontItalic BIT,
    strFontname TEXT,
    booFontUnderline BIT,
    booFontStrikethrough BIT,
    lngForeColor LONG,
    lngBackColor LONG,
    intBackStyle SHORT,
    intBorderStyle SHORT
);

CREATE TABLE tLine (
    strObjName TEXT,
    Print_ID LONG,
    intIndex SHORT,
    Tag TEXT,
    X1 SINGLE,
    Y1 SINGLE,
    X2 SINGLE,
    y2 SINGLE,
    BorderColor LONG,
    BorderStyle SHORT,
    BorderWidth SHORT,
    DrawMode SHORT
);

CREATE TABLE tShape (
    strObjName TEXT,
    Print_ID LONG,
    intIndex SHORT,
    Tag TEXT,
    sngLeft SINGLE,
    sngTop SINGLE,
    Width SINGLE,
    Height SINGLE,
    BackColor LONG,
    BackStyle SHORT,
    BorderColor LONG,
    BorderStyle SHORT,
    BorderWidth SHORT,
    FillColor LONG,
    FillStyle SHORT,
    Shape SHORT,
    DrawMode SHORT
);

CREATE TABLE tHatching (
    Print_ID LONG,
    intIndex SHORT,
    Tag TEXT,
    BorderStyle SHORT,
    BorderWidth SHORT,
    DrawMode SHORT,
    iPitch SHORT,
    iStyle SHORT,
    iTilt SHORT,
    iUbound SHORT,
    BorderColor LONG
);

CREATE TABLE tPrinter (
    Print_Id LONG,
    strDeviceName TEXT,
    strDriverName TEXT,
    strPort TEXT,
    strFormName TEXT,
    intColorMode SHORT,
    intDuplex SHORT,
    intOrientation SHORT,
    intPaperBin SHORT,
    intPaperSize SHORT,
    intPrintQuality SHORT,
    intScaleMode SHORT,
    intZoom SHORT,
    sngHeight SINGLE,
    sngWidth SINGLE,
    sngScaleHeight SINGLE,
    sngScaleWidth SINGLE,
    sngPaperLength SINGLE,
    sngPaperWidth SINGLE,
    datReDate DATETIME
);

CREATE INDEX tLabel_Print ON tLabel (Print_ID, strObjName, intIndex);
CREATE INDEX tLine_Print ON tLine (Print_ID, strObjName, intIndex);
CREATE INDEX tShape_Print ON tShape (Print_ID, strObjName, intIndex);
CREATE INDEX tHatching_Print ON tHatching (Print_ID, intIndex);
CREATE INDEX tPrinter_Print ON tPrinter (Print_Id);
CREATE INDEX tPrint_strNo ON tPrint (strNo);

INSERT INTO tSystem (System_Id, datReDate) VALUES (200911, '2009/11/01 12:00:00');
