#include "app/settings_store_qt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace lumatra {

namespace {

// The 1-based number of the first line QSettings cannot read back (it would drop that line when
// it next writes the file), or 0. Lines are blank, comments, "[section]" or "key=value"; a value
// may continue on the next line after a backslash.
std::size_t FirstMalformedIniLine(std::string_view text) {
  std::size_t number = 0;
  bool continued = false;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    ++number;
    if (line.find('\0') != std::string_view::npos) return number;
    const bool was_continued = continued;
    continued = !line.empty() && line.back() == '\\';
    const std::size_t first = line.find_first_not_of(" \t");
    if (was_continued || first == std::string_view::npos) continue;
    line.remove_prefix(first);
    if (line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.find(']') == std::string_view::npos) return number;
      continue;
    }
    if (line.find('=') == std::string_view::npos) return number;
  }
  return 0;
}

class QtSettingsBackend : public SettingsBackend {
 public:
  explicit QtSettingsBackend(const std::string& path)
      : settings_(path.empty()
                      ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                    "Kelmar", "LUMATRA")
                      : std::make_unique<QSettings>(QString::fromStdString(path),
                                                    QSettings::IniFormat)) {}

  std::optional<std::string> Read(std::string_view section, std::string_view name) override {
    const QVariant value = settings_->value(Key(section, name));
    if (!value.isValid()) return std::nullopt;
    // A text holding a comma that someone typed into the file unquoted reads as a list.
    if (value.typeId() == QMetaType::QStringList)
      return value.toStringList().join(", ").toStdString();
    if (!value.canConvert<QString>()) return std::nullopt;
    return value.toString().toStdString();
  }

  void Write(std::string_view section, std::string_view name, std::string_view text) override {
    settings_->setValue(Key(section, name),
                        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  }

  bool Commit(std::string& error) override {
    settings_->sync();
    switch (settings_->status()) {
      case QSettings::NoError:
        return true;
      case QSettings::AccessError:
        error = "cannot write " + settings_->fileName().toStdString();
        return false;
      default:
        error = "malformed settings file " + settings_->fileName().toStdString();
        return false;
    }
  }

  bool CheckWellFormed(std::string& error) override {
    QFile file(settings_->fileName());
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) {
      error = "cannot read " + FileName();
      return false;
    }
    const QByteArray bytes = file.readAll();
    if (const std::size_t line =
            FirstMalformedIniLine({bytes.constData(), std::size_t(bytes.size())}))
      error = "malformed settings file " + FileName() + ": line " + std::to_string(line);
    return error.empty();
  }

  std::string FileName() const { return settings_->fileName().toStdString(); }

 private:
  static QString Key(std::string_view section, std::string_view name) {
    return QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  }

  std::unique_ptr<QSettings> settings_;
};

}  // namespace

std::unique_ptr<SettingsBackend> OpenUserSettings(const std::string& path) {
  return std::make_unique<QtSettingsBackend>(path);
}

PatternFiles UserPatternFiles(const std::string& store_path) {
  const QtSettingsBackend store(store_path);
  const QFileInfo settings_file(QString::fromStdString(store.FileName()));
  PatternFiles files;
  files.program = PatternFileBesideProgram(ProgramPath());
  files.user = settings_file.dir().filePath("LUMATRA.FLT").toStdString();
  return files;
}

void LoadSettings() {
  auto store = OpenUserSettings();
  LoadSettings(*store, UserPatternFiles(), Settings(), IesExtensions());
}

bool SaveSettings() {
  auto store = OpenUserSettings();
  return SaveSettings(*store, UserPatternFiles(), Settings(), IesExtensions());
}

}  // namespace lumatra
