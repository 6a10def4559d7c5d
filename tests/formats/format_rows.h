// What the format tests share: the rows of the format table they walk, and a one-line summary
// of what a reader understood, for the golden files.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/format_table.h"
#include "model/lum32.h"

namespace lumatra::format_tests {

// The row whose reader takes a file by its extension (LTLI files have no key of their own).
inline const FormatRow& ReaderFor(const std::filesystem::path& file) {
  const std::string key = ExtensionKey(file.string());
  for (const FormatRow& r : Formats())
    if (r.read && (r.load_key == key || (key == "LTL" && r.name == "ltli"))) return r;
  throw std::invalid_argument(file.string());
}

// The row whose reader takes back what `writer` writes.
inline const FormatRow& ReaderOf(const FormatRow& writer) {
  return ReaderFor(std::string("x") + std::string(writer.extension));
}

// The writers a user can choose (ldt, ies86 ... cie).
inline std::vector<const FormatRow*> TargetWriters() {
  std::vector<const FormatRow*> out;
  for (const FormatRow& w : Formats())
    if (w.write && !w.cli_name.empty()) out.push_back(&w);
  return out;
}

// Reads with the row's reader, as Load does once it has chosen it.
inline bool ParseWith(const FormatRow& reader, TLUM32& rec, std::string_view bytes,
                      std::uint8_t& code) {
  code = reader.code;
  return reader.read(rec, bytes, code, nullptr);
}

inline std::string Num(float x) {
  char buf[40];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, x).ptr);
}

// Code, system, symmetry, grid, texts, lamps, dimensions and the flags the writers read, then
// three cells and a hash of every cell (angles included) of the table: one tab-separated line.
inline std::string Summary(const TLUM32& r) {
  std::string s = std::string("code ") + std::to_string(r.FileFormat) + " sys " +
                  std::to_string(r.PhotSystem) + " sym " + std::to_string(r.Symmetry) + "\t" +
                  std::to_string(r.NumPlanes) + "x" + std::to_string(r.NumGammas) + " C " +
                  Num(+r.CFirst) + ":" + Num(+r.CStep) + ":" + Num(+r.CLast) + " G " +
                  Num(+r.GFirst) + ":" + Num(+r.GStep) + ":" + Num(+r.GLast) + " flags " +
                  std::to_string(r.GridFlags) + " min " + Num(r.MinCStep) + "/" + Num(r.MinGStep) +
                  "\t";
  for (const std::string& text :
       {r.Company.str(), r.LumName.str(), r.LumNumber.str(), r.ReportNo.str(), r.ReportNo2.str(),
        r.DataFileName.str(), r.DateUser.str(), r.HeaderText7.str(), r.HeaderText8.str()})
    s += text + " | ";
  s += "\tlamps";
  for (std::size_t k = 0; k < r.NumLampSets; ++k) {
    const LampSetData& l = r.LampSet[k];
    s += std::string(" [") + std::to_string(r.LampCount(k)) + " x " + l.LampType.str() + ", " +
         Num(+l.TotalFlux) + " lm, " + Num(+l.FluxPerLamp) + " lm/lamp, " +
         std::to_string(l.Wattage) + " W, " + l.ColourAppearance.str() + ", " +
         l.ColourRendering.str() + "]";
  }
  const LuminaireDims& d = r.LumDim;
  const AreaDims& a = r.AreaDim;
  s += std::string("\tdims ") + std::to_string(d.Length) + " " + std::to_string(d.Width) + " " +
       std::to_string(d.Diameter) + " " + std::to_string(d.Height) + " area " +
       std::to_string(a.Length) + " " + std::to_string(a.Width) + " " + std::to_string(a.Diameter) +
       " " + std::to_string(a.HeightC0) + " " + std::to_string(a.HeightC90) + " " +
       std::to_string(a.HeightC180) + " " + std::to_string(a.HeightC270) + " shape " +
       std::to_string(r.OpeningShape) + " type " + std::to_string(r.LumType) + "\tdff " +
       Num(+r.DFF) + " lor " + Num(+r.LOR) + " abs " + std::to_string(r.AbsolutePhotometry) +
       " gen " + std::to_string(r.IesGenerationType) + " tilt " + std::to_string(r.IesTiltDropped) +
       " labels " + std::to_string(r.LabelLines ? r.LabelLines->size() : 0) + " tm14 " +
       Num(+r.Tm14Extra) + " watts " + Num(+r.CircuitWatts) + "/" + Num(+r.WattsRatio) + " bf " +
       Num(+r.BallastFactor) + "\t";
  if (!r.Matrix) return s + "no table";
  const std::size_t mid_i = (r.NumPlanes + 1) / 2, mid_j = (r.NumGammas + 1) / 2;
  s += std::string("cells ") + Num(r.GetIntensity(1, 1)) + " " + Num(r.GetIntensity(mid_i, mid_j)) +
       " " + Num(r.GetIntensity(r.NumPlanes, r.NumGammas));
  std::uint64_t hash = 14695981039346656037u;  // FNV-1a over the bits of every cell
  for (std::size_t row = 0; row < r.Matrix->Rows(); ++row) {
    for (float cell : r.Matrix->RowData(row)) {
      std::uint32_t bits;
      std::memcpy(&bits, &cell, 4);
      for (int k = 0; k < 4; ++k)
        hash = (hash ^ ((bits >> (8 * k)) & 0xff)) * 1099511628211u;
    }
  }
  char hex[20];
  return s + " hash " + std::string(hex, std::to_chars(hex, hex + sizeof hex, hash, 16).ptr);
}

}  // namespace lumatra::format_tests
