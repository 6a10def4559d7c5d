// The photometric record: one luminaire's complete light-distribution data set.
//
// Its descriptive and photometric fields form three persistent blocks that the native L32 format
// stores byte for byte, so their layout below is a file format: packed, little-endian, every
// offset pinned by a static_assert. Everything outside the blocks is transient.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/pstring.h"
#include "model/sgl_array.h"

namespace lumatra {

static_assert(sizeof(float) == 4 && sizeof(double) == 8, "IEEE single and double required");
static_assert(std::endian::native == std::endian::little,
              "the persistent blocks are little-endian");

// Format codes: the FileFormat of a load and the target code of a save.
enum FormatCode : std::uint8_t {
  kFormatLum = 0,
  kFormatL32 = 1,
  kFormatEulumdat = 2,
  kFormatEulumdat2 = 3,  // written like 2; no reader reports it
  kFormatTm14 = 4,
  kFormatIes86 = 5,
  kFormatIes91 = 6,
  kFormatIes95 = 7,
  kFormatIes02 = 8,  // IES LM-63-2002
  kFormatLtli = 9,
  kFormatIes19 = 10,  // IES LM-63-2019
  kFormatCie = 11,
  kFormatPlaceholder = 12,
  kFormatPdf = 13,
  kFormatLoadFailed = 14,
};

// Photometric systems (PhotSystem).
enum : std::uint8_t { kSystemC = 0, kSystemB = 1, kSystemA = 2 };

// GridFlags bits.
enum : std::uint8_t { kGammaIrregular = 1, kCIrregular = 2 };

#pragma pack(push, 1)

struct LampSetData {  // 76 bytes
  std::uint8_t NumLamps;
  PString<40> LampType;
  float FluxPerLamp;
  float TotalFlux;  // lumens of the whole set
  PString<16> ColourAppearance;
  PString<6> ColourRendering;
  std::uint16_t Wattage;
};

struct LuminaireDims {  // millimetres
  std::uint16_t Length, Width, Diameter, Height, Height2, Height3, Height4;
};

struct AreaDims {  // luminous area, millimetres
  std::uint16_t Length, Width, Diameter, HeightC0, HeightC90, HeightC180, HeightC270;
};

struct PersistentBlock1 {  // 1024 bytes: texts, lamps, grid summary, symmetry
  std::uint16_t ExtSize;   // bytes of all persistent blocks present
  std::uint16_t ExtFlags;  // bit 0, 1, 2: block 1, 2, 3 present
  PString<12> ShortName;
  double FileDate;  // days since 1899-12-30; 0 = not set
  PString<80> Company;
  PString<80> LumName;
  PString<80> LumNumber;
  PString<40> ReportNo;
  PString<40> DataFileName;
  PString<40> HeaderText7;
  PString<40> HeaderText8;
  std::uint8_t reserved1[42];
  std::uint8_t OpeningShape;
  LuminaireDims LumDim;
  AreaDims AreaDim;
  std::uint8_t NumLampSets;  // 0..5
  LampSetData LampSet[5];
  std::uint16_t NumPlanes;  // planes stored in Matrix (not the EULUMDAT Mc)
  std::uint16_t NumGammas;
  float CFirst, CStep, CLast;  // CStep 0: irregular C angles
  float GFirst, GStep, GLast;
  std::uint8_t Symmetry;   // EULUMDAT symmetry indicator 0..4
  std::uint8_t GridFlags;  // kGammaIrregular | kCIrregular
  float LOR;               // percent
  float PeakIntensity, PeakC, PeakGamma;
  std::uint8_t LightDir;  // 0 direct, 1 indirect, 2 direct-indirect
  std::uint8_t LumType;   // EULUMDAT Ityp
  PString<40> DateUser;
  std::uint8_t PhotSystem;
  float Tm14Extra;
  std::uint8_t UnformattedOutput;
  // 1: the intensities came from absolute photometry (an EULUMDAT negative lamp count, IES lumens
  // per lamp -1); cd/klm x TotalLampFlux() / 1000 are then the measured candela. Files written
  // before the field existed hold 0 here: relative photometry.
  std::uint8_t AbsolutePhotometry;
  // Lamps of each set. NumLamps holds the same count up to 255; files written before this field
  // existed hold 0 here, and their NumLamps is the count. Read through LampCount().
  std::uint32_t LampCounts[5];
  // The file generation type of an IES LM-63-2019 source in units of 0.00001 (100001: 1.00001,
  // undefined; 110100: accredited laboratory, lumen-scaled). 0: not given (other sources, files
  // written before the field existed).
  std::uint32_t IesGenerationType;
  // 1: the IES source had tilt data (TILT=INCLUDE or a tilt file) that the record does not hold.
  std::uint8_t IesTiltDropped;
  std::uint8_t reserved2[19];
};

struct PersistentBlock2 {  // 640 bytes: computed results
  float RefFlux;
  float LumFlux;
  float UpFlux;
  float DownFlux;
  float DFF;  // fraction of 1 after the evaluation; the EULUMDAT reader leaves percent here
  std::uint8_t reserved3[16];
  float UpDirect[10];
  float UpRemainder[10];
  float DownRemainder[10];
  float DirectRatio[10];
  float ZoneFlux[36];  // zone i covers gamma 5*i .. 5*(i+1) degrees
  std::uint8_t reserved4[25];
  std::uint8_t LitgDone;
  std::uint8_t reserved5[274];
};

struct PersistentBlock3 {  // 768 bytes
  std::uint8_t reserved6[6];
  PString<40> Editor;
  PString<40> ReportNo2;  // written as EULUMDAT line 8
  std::uint8_t reserved7[422];
  float WattsRatio;
  float CircuitWatts;
  std::uint8_t reserved8[19];
  float BallastFactor;
  std::uint8_t reserved9[82];
  std::uint8_t DuplicateC0AsC360;
  std::uint8_t reserved10[144];
};

#pragma pack(pop)

inline constexpr std::size_t kBlock1Size = 1024;
inline constexpr std::size_t kBlock2Size = 640;
inline constexpr std::size_t kBlock3Size = 768;

class TLUM32;
using IntensityRoutine = float (*)(const TLUM32&, float, float);
using MeanRoutine = long double (*)(const TLUM32&, long double);

class TLUM32 : public PersistentBlock1, public PersistentBlock2, public PersistentBlock3 {
 public:
  TLUM32();
  TLUM32(const TLUM32&) = delete;
  TLUM32& operator=(const TLUM32&) = delete;

  // --- transient head ---
  std::unique_ptr<TSglArray> Matrix;  // absent after Clear
  std::uint8_t FileFormat = 0;
  std::string FileName;
  std::uint16_t BlockFlags = 0;
  std::uint8_t NameChanged = 0;
  std::uint8_t Loaded = 0;
  std::uint8_t FluxCalcDone = 0;
  std::uint8_t ZoneFluxDone = 0;
  std::uint8_t PeakValid = 0;
  std::uint8_t WriteTM2Data = 0;

  // --- transient tail ---
  float MinGStep = 0;
  float MinCStep = 0;
  std::optional<std::vector<std::string>> LabelLines;  // IES header lines before TILT
  std::uint8_t GlareTable[11][9] = {};
  float GlarePair[2] = {};
  float UtilTableA[19][5] = {};
  float UtilTableB[19][5] = {};
  // Why the last reader refused the file, e.g. "ldt: line 4: number of C planes is not a number".
  std::string ReadError;

  // The persistent blocks as raw bytes (the L32 format stores them verbatim).
  PersistentBlock1& Block1() { return *this; }
  PersistentBlock2& Block2() { return *this; }
  PersistentBlock3& Block3() { return *this; }

  // Releases Matrix and LabelLines, zeroes the persistent blocks, empties the file name.
  void Clear();
  // FileName := name (its last 255 characters); ShortName := first 12 characters of
  // JustName(name); NameChanged := 1.
  void SetFileName(std::string_view name);
  void FindPeak();

  // Lamps of set k (from 0), and setting it (NumLamps keeps the count up to 255).
  std::uint32_t LampCount(std::size_t k) const;
  void SetLampCount(std::size_t k, std::uint32_t lamps);
  // The lamp sets the record keeps (the first one counts even when NumLampSets is 0, as every
  // writer reads it): their lamps and their flux together.
  std::uint64_t TotalLampCount() const;
  long double TotalLampFlux() const;
  // Smallest step of the stored C (gamma) angles; sets the irregular bit when steps differ.
  float CStepDetect();
  float GammaStepDetect();

  float GetIntensity(std::size_t row, std::size_t column) const {
    return Matrix ? Matrix->GetValue(row, column) : 0.0f;
  }
  float GetGamma(std::size_t column) const { return GetIntensity(0, column); }
  float GetCAngle(std::size_t row) const { return GetIntensity(row, 0); }
  void SetValue(std::size_t row, std::size_t column, float value) {
    if (Matrix) Matrix->SetValue(row, column, value);
  }

  // Intensity in cd/klm at (C, gamma); 0 outside the measured range.
  float Intensity(float c, float gamma) const { return intensity_(*this, c, gamma); }
  // Intensity in a B-beta grid; used behind the B-beta front end of Intensity.
  float IntensityB(float b, float beta) const { return intensity_b_(*this, b, beta); }
  // Mean intensity over the stored planes at gamma.
  long double MeanIntensity(long double gamma) const { return mean_(*this, gamma); }

  // Replaces the bound routines (a new record answers 0 everywhere); SetupSymmetry of the
  // interpolation code binds the ones that fit the table.
  void BindRoutines(IntensityRoutine intensity, IntensityRoutine intensity_b, MeanRoutine mean) {
    if (intensity) intensity_ = intensity;
    if (intensity_b) intensity_b_ = intensity_b;
    if (mean) mean_ = mean;
  }

 private:
  IntensityRoutine intensity_;
  IntensityRoutine intensity_b_;
  MeanRoutine mean_;
};

// --- layout of the persistent blocks ---
static_assert(sizeof(LampSetData) == 76);
static_assert(offsetof(LampSetData, LampType) == 1);
static_assert(offsetof(LampSetData, FluxPerLamp) == 42);
static_assert(offsetof(LampSetData, TotalFlux) == 46);
static_assert(offsetof(LampSetData, ColourAppearance) == 50);
static_assert(offsetof(LampSetData, ColourRendering) == 67);
static_assert(offsetof(LampSetData, Wattage) == 74);
static_assert(sizeof(LuminaireDims) == 14 && sizeof(AreaDims) == 14);

static_assert(sizeof(PersistentBlock1) == kBlock1Size);
static_assert(offsetof(PersistentBlock1, ExtSize) == 0);
static_assert(offsetof(PersistentBlock1, ExtFlags) == 2);
static_assert(offsetof(PersistentBlock1, ShortName) == 4);
static_assert(offsetof(PersistentBlock1, FileDate) == 17);
static_assert(offsetof(PersistentBlock1, Company) == 25);
static_assert(offsetof(PersistentBlock1, LumName) == 106);
static_assert(offsetof(PersistentBlock1, LumNumber) == 187);
static_assert(offsetof(PersistentBlock1, ReportNo) == 268);
static_assert(offsetof(PersistentBlock1, DataFileName) == 309);
static_assert(offsetof(PersistentBlock1, HeaderText7) == 350);
static_assert(offsetof(PersistentBlock1, HeaderText8) == 391);
static_assert(offsetof(PersistentBlock1, OpeningShape) == 474);
static_assert(offsetof(PersistentBlock1, LumDim) == 475);
static_assert(offsetof(PersistentBlock1, AreaDim) == 489);
static_assert(offsetof(PersistentBlock1, NumLampSets) == 503);
static_assert(offsetof(PersistentBlock1, LampSet) == 504);
static_assert(offsetof(PersistentBlock1, NumPlanes) == 884);
static_assert(offsetof(PersistentBlock1, NumGammas) == 886);
static_assert(offsetof(PersistentBlock1, CFirst) == 888);
static_assert(offsetof(PersistentBlock1, CStep) == 892);
static_assert(offsetof(PersistentBlock1, CLast) == 896);
static_assert(offsetof(PersistentBlock1, GFirst) == 900);
static_assert(offsetof(PersistentBlock1, GStep) == 904);
static_assert(offsetof(PersistentBlock1, GLast) == 908);
static_assert(offsetof(PersistentBlock1, Symmetry) == 912);
static_assert(offsetof(PersistentBlock1, GridFlags) == 913);
static_assert(offsetof(PersistentBlock1, LOR) == 914);
static_assert(offsetof(PersistentBlock1, PeakIntensity) == 918);
static_assert(offsetof(PersistentBlock1, PeakC) == 922);
static_assert(offsetof(PersistentBlock1, PeakGamma) == 926);
static_assert(offsetof(PersistentBlock1, LightDir) == 930);
static_assert(offsetof(PersistentBlock1, LumType) == 931);
static_assert(offsetof(PersistentBlock1, DateUser) == 932);
static_assert(offsetof(PersistentBlock1, PhotSystem) == 973);
static_assert(offsetof(PersistentBlock1, Tm14Extra) == 974);
static_assert(offsetof(PersistentBlock1, UnformattedOutput) == 978);
static_assert(offsetof(PersistentBlock1, AbsolutePhotometry) == 979);
static_assert(offsetof(PersistentBlock1, LampCounts) == 980);
static_assert(offsetof(PersistentBlock1, IesGenerationType) == 1000);
static_assert(offsetof(PersistentBlock1, IesTiltDropped) == 1004);
static_assert(offsetof(PersistentBlock1, reserved2) == 1005);

static_assert(sizeof(PersistentBlock2) == kBlock2Size);
static_assert(offsetof(PersistentBlock2, RefFlux) == 0);
static_assert(offsetof(PersistentBlock2, LumFlux) == 4);
static_assert(offsetof(PersistentBlock2, UpFlux) == 8);
static_assert(offsetof(PersistentBlock2, DownFlux) == 12);
static_assert(offsetof(PersistentBlock2, DFF) == 16);
static_assert(offsetof(PersistentBlock2, UpDirect) == 36);
static_assert(offsetof(PersistentBlock2, UpRemainder) == 76);
static_assert(offsetof(PersistentBlock2, DownRemainder) == 116);
static_assert(offsetof(PersistentBlock2, DirectRatio) == 156);
static_assert(offsetof(PersistentBlock2, ZoneFlux) == 196);
static_assert(offsetof(PersistentBlock2, LitgDone) == 365);

static_assert(sizeof(PersistentBlock3) == kBlock3Size);
static_assert(offsetof(PersistentBlock3, Editor) == 6);
static_assert(offsetof(PersistentBlock3, ReportNo2) == 47);
static_assert(offsetof(PersistentBlock3, WattsRatio) == 510);
static_assert(offsetof(PersistentBlock3, CircuitWatts) == 514);
static_assert(offsetof(PersistentBlock3, BallastFactor) == 537);
static_assert(offsetof(PersistentBlock3, DuplicateC0AsC360) == 623);

}  // namespace lumatra
