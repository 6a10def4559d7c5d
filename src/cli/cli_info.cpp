// lumatra-cli info: loads each file, evaluates it and prints what it found.
#include <CLI/CLI.hpp>
#include <cmath>
#include <exception>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "cli/cli_commands.h"
#include "cli/json_writer.h"
#include "model/lum32.h"
#include "photometry/beam_angles.h"
#include "photometry/evaluation.h"
#include "photometry/litg.h"
#include "support/cp1252.h"

namespace lumatra {

namespace {

struct InfoOptions {
  bool json = false;
  bool matrix = false;
  std::vector<std::string> files;
};

std::string LampSetsJson(const TLUM32& rec) {
  std::string out = "[";
  for (int k = 0; k < rec.NumLampSets && k < 5; ++k) {
    const LampSetData& set = rec.LampSet[k];
    if (k) out += ",";
    out += JsonObject()
               .Integer("num_lamps", rec.LampCount(static_cast<std::size_t>(k)))
               .Text("lamp_type", set.LampType.view())
               .Number("total_flux", set.TotalFlux)
               .Integer("wattage", set.Wattage)
               .str();
  }
  return out + "]";
}

std::string MatrixJson(const TLUM32& rec) {
  std::string out = "[";
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    if (i > 1) out += ",";
    out += "[";
    for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
      if (j > 1) out += ",";
      out += JsonObject::NumberText(rec.GetIntensity(i, j));
    }
    out += "]";
  }
  return out + "]";
}

std::vector<double> DirectRatiosAsWritten(const TLUM32& rec) {
  std::vector<double> v;
  for (float dr : rec.DirectRatio)
    v.push_back(rec.LOR * 100 == 0 ? 0.0 : dr / (10.0 * static_cast<double>(rec.LOR)));
  return v;
}

std::string InfoJson(const std::string& file, const TLUM32& rec, bool loaded,
                     const std::string& error, bool with_matrix) {
  JsonObject o;
  o.Path("file", file).Bool("loaded", loaded);
  if (!loaded) {
    o.Text("error", error);
    return o.str();
  }
  std::vector<double> zones(rec.ZoneFlux, rec.ZoneFlux + 36);
  const MainPlaneBeams beams = BeamAndFieldAngles(rec);  // none: null
  o.Integer("format_code", rec.FileFormat)
      .Bool("absolute_photometry", rec.AbsolutePhotometry != 0)
      .Integer("phot_system", rec.PhotSystem)
      .Integer("symmetry", rec.Symmetry)
      .Integer("grid_flags", rec.GridFlags)
      .Integer("num_planes", rec.NumPlanes)
      .Integer("num_gammas", rec.NumGammas)
      .Number("c_first", rec.CFirst)
      .Number("c_step", rec.CStep)
      .Number("c_last", rec.CLast)
      .Number("g_first", rec.GFirst)
      .Number("g_step", rec.GStep)
      .Number("g_last", rec.GLast)
      .Number("lum_flux", rec.LumFlux)
      .Number("up_flux", rec.UpFlux)
      .Number("down_flux", rec.DownFlux)
      .Number("dff", rec.DFF)
      .Number("lor", rec.LOR)
      .Integer("light_dir", rec.LightDir)
      .Number("peak_intensity", rec.PeakIntensity)
      .Number("peak_c", rec.PeakC)
      .Number("peak_gamma", rec.PeakGamma)
      .Number("beam_angle_c0_c180", beams.c0_c180.beam.value_or(NAN))
      .Number("beam_angle_c90_c270", beams.c90_c270.beam.value_or(NAN))
      .Number("field_angle_c0_c180", beams.c0_c180.field.value_or(NAN))
      .Number("field_angle_c90_c270", beams.c90_c270.field.value_or(NAN))
      .Numbers("zone_flux", zones)
      .Numbers("direct_ratios", DirectRatiosAsWritten(rec))
      .Raw("lamp_sets", LampSetsJson(rec))
      .Text("company", rec.Company.view())
      .Text("lum_name", rec.LumName.view())
      .Text("lum_number", rec.LumNumber.view());
  if (with_matrix) {
    std::vector<double> c, g;
    for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
      c.push_back(rec.GetCAngle(i));
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      g.push_back(rec.GetGamma(j));
    o.Numbers("c_angles", c).Numbers("gamma_angles", g).Raw("intensities", MatrixJson(rec));
  }
  return o.str();
}

void PrintText(std::ostream& out, const std::string& file, const TLUM32& rec) {
  const MainPlaneBeams beams = BeamAndFieldAngles(rec);
  out << file << "\n"
      << "  format code " << int{rec.FileFormat} << ", photometric system " << int{rec.PhotSystem}
      << ", symmetry " << int{rec.Symmetry} << "\n"
      << "  " << rec.NumPlanes << " planes C" << rec.CFirst << ".." << rec.CLast << " step "
      << rec.CStep << ", " << rec.NumGammas << " gammas " << rec.GFirst << ".." << rec.GLast
      << " step " << rec.GStep << "\n"
      << "  flux " << rec.LumFlux << " lm/klm (up " << rec.UpFlux << ", down " << rec.DownFlux
      << "), DFF " << rec.DFF << ", LOR " << rec.LOR << " %\n"
      << "  peak " << rec.PeakIntensity << " cd/klm at C" << rec.PeakC << " gamma " << rec.PeakGamma
      << "\n"
      << "  beam angle C0-C180 " << SpreadText(beams.c0_c180.beam) << ", C90-C270 "
      << SpreadText(beams.c90_c270.beam) << "; field angle C0-C180 "
      << SpreadText(beams.c0_c180.field) << ", C90-C270 " << SpreadText(beams.c90_c270.field)
      << "\n"
      << "  company: " << Cp1252ToUtf8(rec.Company.view()) << "\n"
      << "  luminaire: " << Cp1252ToUtf8(rec.LumName.view()) << " / "
      << Cp1252ToUtf8(rec.LumNumber.view()) << "\n";
}

void RunInfo(const InfoOptions& opt, CliStreams& io) {
  for (const std::string& file : opt.files) {
    TLUM32 rec;
    bool loaded = false;
    std::string error;
    try {
      loaded = Load(rec, file);
      if (!loaded) error = rec.ReadError;
      if (loaded) {
        CalcFlux(rec);
        rec.FindPeak();
        CalcDirectRatios(rec);
      }
    } catch (const std::exception& e) {
      error = e.what();
    }
    if (!loaded) io.status = 1;
    if (opt.json) {
      io.out << InfoJson(file, rec, loaded, error, opt.matrix) << "\n";
    } else if (loaded) {
      PrintText(io.out, file, rec);
    } else {
      io.err << file << ": " << error << "\n";
    }
  }
}

}  // namespace

void AddInfoCommand(CLI::App& app, CliStreams& io) {
  auto opt = std::make_shared<InfoOptions>();
  CLI::App* cmd = app.add_subcommand("info", "load photometric files and print what they hold");
  cmd->add_flag("--json", opt->json, "one JSON object per file per line");
  cmd->add_flag("--matrix", opt->matrix, "with --json: also the angles and the intensity table");
  cmd->add_option("files", opt->files, "photometric files")->required();
  cmd->callback([opt, &io] { RunInfo(*opt, io); });
}

}  // namespace lumatra
