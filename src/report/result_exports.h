#pragma once

#include <functional>
#include <map>

#include "report/export_frame.h"

namespace sondrel {

// The export command of the main window: the format asked in DialogExport, then the exporter
// of the source. Each source registers its exporter (the ping test, the route trace, and the
// address scan once it exists); a source without one exports nothing.
class ResultExports {
  public:
    using Exporter = std::function<void(ExportFormat)>;

    explicit ResultExports(ExportFrame& frame) : frame_(frame) {}

    void setExporter(ExportSource source, Exporter exporter) {
        exporters_[source] = std::move(exporter);
    }
    bool hasExporter(ExportSource source) const { return exporters_.count(source) != 0; }

    // CommandExport_Click once the source is decided.
    void ExportResults(ExportSource source) {
        const std::optional<ExportFormat> format = frame_.dialogs().chooseExportFormat(source);
        if (!format)
            return;
        const auto exporter = exporters_.find(source);
        if (exporter != exporters_.end())
            exporter->second(*format);
    }

    ExportFrame& frame() { return frame_; }

  private:
    ExportFrame& frame_;
    std::map<ExportSource, Exporter> exporters_;
};

}  // namespace sondrel
