#pragma once
// Program-wide state: settings from Init.ini, paths, the database connection
// and its flags, and the open drawing's record. It lives for the whole run.

#include "app/types.h"

#include <QList>
#include <QString>
#include <array>
#include <memory>

#include "platform/database.h"


constexpr int UnitCount = 14;

// --- Init.ini -------------------------------------------------------------
inline QString GE_strDB_Folda_Path;  // database folder
inline QString GE_strPict_Drive;     // volume of the last image folder
inline QString GE_strPict_Folda;     // last image folder
inline QString GE_strFile_Name;      // database file in use
inline std::array<QString, UnitCount> GE_strUnitDistance;  // each name ends with a blank
inline std::array<QString, UnitCount> GE_strUnitArea;
inline std::array<double, UnitCount> GE_dblChgMMToO{};  // millimetres per distance unit
inline std::array<double, UnitCount> GE_dblChgOToMD{};  // distance unit to metres
inline std::array<double, UnitCount> GE_dblChgMToOD{};  // metres to distance unit
inline std::array<double, UnitCount> GE_dblChgOToMS{};  // area unit to square metres
inline std::array<double, UnitCount> GE_dblChgMToOS{};  // square metres to area unit

// --- start-up ---------------------------------------------------------------
inline qint32 GE_lngPlatformId = 0;
inline QString GE_strTempPath;  // the work folder TEMP beside the program
// True while GE_strDB_Folda_Path is the sample folder that the start fell
// back to for want of the folder or file Init.ini names: the quit leaves
// that setting as it is, so that the next start tries it again. Cleared
// when the user takes a database into use in the database manager.
inline bool GE_booDbFallback = false;

// --- database ---------------------------------------------------------------
inline std::unique_ptr<platform::db::Connection> GE_objConnection;
inline bool GE_booDbOpen = false;
inline bool GE_booDbUpdate = false;  // something was written in the open transaction
inline typSystem GE_tpSystem;

// --- start window and dialogs -------------------------------------------------
inline typPrint GE_tpPrint;
inline bool GE_booDlgOK = false;
inline QString GE_strTableName;
inline std::array<qint32, 4> GE_lngWorkArea{};  // left, top, height, width in twips

// --- the open drawing's calibration and display settings -----------------------
// Stored column for column in its tPrint row.
inline bool GE_booModeDis = true;   // calibration by known distances
inline bool GE_booModeKei = false;  // calibration by known longitude and latitude
inline float GE_sngHojoLen = 0;     // extension-line length, millimetres
inline float GE_sngScale = 0;       // drawing scale 1/n, 0 when not set
inline bool GE_booSnap = false;     // polygons close by themselves
inline bool GE_booPictAdj = false;  // the picture's aspect ratio is adjusted
inline float GE_sngPictAdj = 0;     // aspect factor applied to the picture
inline bool GE_booPrtCmt = false;   // print the comment line of result labels
inline qint16 GE_intUnitDIndex = 0;
inline float GE_sngKeisuD = 0;
inline qint16 GE_intUnitSIndex = 0;
inline float GE_sngKeisuS = 0;
inline std::array<float, 4> GE_sngHosei{};   // tilt correction: the two picked points
inline std::array<double, 4> GE_dblHosei{};  // angle in degrees, its negation, both in radians
inline std::array<typPointS, 4> GE_tpPiccelD{};  // known-distance points (0-1 horizontal, 2-3 vertical)
inline float GE_sngPiccelD_X = 0;
inline float GE_sngPiccelD_Y = 0;
inline float GE_sngDistanceD_X = 0;
inline float GE_sngDistanceD_Y = 0;
inline typPointD GE_tpPtoD_r;      // real length per straightened picture unit
inline double GE_dblAspectM = 0;
inline std::array<typPointS, 2> GE_tpPiccel{};  // longitude/latitude correspondence points
inline std::array<typDMS, 2> GE_tpKeIdo{};      // their longitudes
inline std::array<typDMS, 2> GE_tpIdo{};        // their latitudes
inline std::array<double, 2> GE_dblKeido{};     // longitudes in seconds of arc
inline std::array<double, 2> GE_dblIdo{};       // latitudes in seconds of arc
inline typPointD GE_tpPtoK_r;      // picture unit to seconds of arc
inline typPointD GE_tpKtoP_r;      // seconds of arc to picture unit
inline typLonLat GE_tpPx00ToKei;   // longitude/latitude of picture point (0,0)
inline typPointD GE_tpKI00ToPx;    // picture point of longitude/latitude (0,0)

// --- display -----------------------------------------------------------------
inline float GE_sngZoom = 1.0f;  // the map against the picture at its own size
inline std::array<QString, 9> GE_strFormat;  // number formats by decimal places
inline QString GE_strMapImage;   // picture file chosen or found

// --- drawing library ---
inline QString GE_strPassWord;     // typed at the password prompt, or set in the password dialog
inline bool GE_booEdit = true;     // the editable flag chosen in the password dialog
inline bool GE_booVisible = true;  // the viewable flag chosen there

// --- the editor's units and the picture folder chosen ---
inline QString GE_strUnitD;       // distance unit name with its trailing blank
inline qint16 GE_intDPointD = 0;  // decimal places of lengths (index into GE_strFormat)
inline QString GE_strUnitS;       // area unit name with its trailing blank
inline qint16 GE_intDPointS = 0;  // decimal places of areas
inline QString GE_strFolder;      // the folder chosen in the folder chooser

// --- objects ---
inline typPrinter GE_tpPrinter;           // the open drawing's printer settings
inline typDEVMODE GE_tpDevMode;           // the print dialogs' device-mode block
inline typDEVNAMES GE_tpDevNames;         // and device-name block
inline QList<typHatching> GE_tpHatching;  // record i belongs to area label i; one spare at the end

// --- picture pickers ---
inline QString GE_strDrive;           // drive chosen in the drive-and-folder dialog, "" otherwise
inline QString GE_strInDrive;         // start drive handed to the folder picker, or ""
inline QString GE_strInFolder;        // start folder handed to the folder picker, or ""
inline bool GE_booThumbnail = false;  // the thumbnail browser is loaded

// --- the options window ---
inline qint16 GE_intOptionTab = 0;        // the tab it last showed
inline bool GE_booPickHosei = false;      // a click on the map picks a tilt point
inline bool GE_booPickDistance = false;   // ... a known-distance point
inline bool GE_booPickKeiIdo = false;     // ... a correspondence point

// --- property sheet ---
inline bool GE_booPropaty = false;  // the property sheet is loaded
