#pragma once
// Program-wide state: settings from Init.ini, paths, the database connection
// and its flags, and the open drawing's record. It lives for the whole run.

#include "app/types.h"

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
