#include "Norvane/settings/DataTab.h"

#include <array>
#include <cmath>

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/FormSection.h"
#include "Norvane/settings/GroupedForm.h"
#include "Norvane/settings/LinkButton.h"
#include "Norvane/sheets/SaveDialog.h"
#include "Norvane/state/BackgroundWork.h"
#include "Norvane/state/FileManagerReveal.h"
#include "platform/Iso8601.h"
#include "platform/ProcessRunner.h"
#include "platform/TextTrimming.h"
#include "platform/XdgPaths.h"

namespace norvane::app {
namespace {

struct ExportOutcome {
    bool written = false;
    QString text;
};

// The tool names itself before its message.
std::string withoutToolPrefix(std::string_view text) {
    constexpr std::string_view prefix = "norvane: ";
    return std::string(text.starts_with(prefix) ? text.substr(prefix.size()) : text);
}

/// Runs the tool and looks at what it left: a clean exit and the file in place.
ExportOutcome runExport(const CLIInstaller& installer, const std::filesystem::path& path) {
    const auto tool = installer.findCLI();
    if (!tool) {
        return {false, QString::fromStdString(*CLIInstaller::InstallError::cliNotFound().errorDescription())};
    }
    const auto result = platform::defaultProcessRunner().run(
        {.executable = tool->string(), .arguments = {"export", "-o", path.string()}});
    const QString failed = QStringLiteral("Export failed: ");
    if (!result.started()) return {false, failed + QString::fromStdString(*result.startError)};
    if (result.exitStatus != 0) {
        const std::string reason = withoutToolPrefix(platform::trimmed(result.standardError));
        return {false, failed + (reason.empty() ? QStringLiteral("norvane exited with status %1").arg(result.exitStatus)
                                                : QString::fromStdString(reason))};
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return {false, failed + QStringLiteral("no file was written")};
    return {true, QStringLiteral("Exported all data to ") + QString::fromStdString(path.string())};
}

} // namespace

DataTab::DataTab(const SettingsServices& services, QWidget* parent)
    : QWidget(parent), services_(services),
      location_(new LinkButton(locationText(services_.storeFile(), platform::XdgPaths::homeFolder()), {},
                               TextStyle::caption)),
      size_(makeLabel(QString(), TextStyle::body, Palette::textSecondary())),
      export_(new BorderedButton(QStringLiteral("Export All Data..."), BorderedButton::Prominence::standard)),
      exportMessage_(new CaptionMessage) {
    auto* form = new GroupedForm;
    auto* database = form->addSection(QStringLiteral("Database"));
    database->addLabeledRow(QStringLiteral("Location"), location_);
    sizeRow_ = database->addLabeledRow(QStringLiteral("Size"), size_);
    auto* exporting = form->addSection(QStringLiteral("Export"));
    auto* row = makeRow(0);
    row->addWidget(export_);
    row->addStretch(1);
    exporting->addRow(wrap(row));
    exporting->addRow(exportMessage_);
    auto* layout = makeColumn(0);
    layout->addWidget(form);
    setLayout(layout);
    connect(location_, &QAbstractButton::clicked, this, [this] {
        const auto file = services_.storeFile();
        std::error_code error;
        if (std::filesystem::exists(file, error)) FileManagerReveal::showItem(file);
    });
    connect(export_, &QPushButton::clicked, this, &DataTab::exportAllData);
    refreshSize();
}

QString DataTab::exportFileName(platform::Date now) {
    return QStringLiteral("norvane-export-") + QString::fromStdString(platform::Iso8601::format(now)) +
           QStringLiteral(".json");
}

std::optional<std::int64_t> DataTab::storeSize(const std::filesystem::path& storeFile) {
    std::error_code error;
    const auto size = std::filesystem::file_size(storeFile, error);
    if (error) return std::nullopt;
    auto total = static_cast<std::int64_t>(size);
    // SQLite keeps recent writes beside the store until it folds them in.
    for (const char* suffix : {"-wal", "-shm"}) {
        const auto side = std::filesystem::file_size(storeFile.string() + suffix, error);
        if (!error) total += static_cast<std::int64_t>(side);
    }
    return total;
}

QString DataTab::sizeText(std::int64_t bytes) {
    if (bytes == 0) return QStringLiteral("Zero KB");
    if (bytes < 1000) return QString::number(bytes) + (bytes == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
    struct Unit {
        const char* name;
        int decimals;
    };
    static constexpr std::array<Unit, 4> units = {{{"KB", 0}, {"MB", 1}, {"GB", 2}, {"TB", 2}}};
    const auto rounded = [](double value, int decimals) {
        const double scale = std::pow(10.0, decimals);
        return std::round(value * scale) / scale;
    };
    double value = double(bytes) / 1000.0;
    std::size_t unit = 0;
    // A value that rounds up to 1000 of one unit reads as 1 of the next.
    while (unit + 1 < units.size() && rounded(value, units[unit].decimals) >= 1000.0) {
        value /= 1000.0;
        ++unit;
    }
    QString number = formatFixed(value, units[unit].decimals);
    if (number.contains(QLatin1Char('.'))) {
        while (number.endsWith(QLatin1Char('0'))) number.chop(1);
        if (number.endsWith(QLatin1Char('.'))) number.chop(1);
    }
    return number + QLatin1Char(' ') + QLatin1String(units[unit].name);
}

QString DataTab::locationText(const std::filesystem::path& storeFile, const std::filesystem::path& home) {
    const auto folder = storeFile.parent_path().lexically_normal();
    const auto relative = folder.lexically_relative(home.lexically_normal());
    const bool insideHome = !home.empty() && !relative.empty() && *relative.begin() != "..";
    const QString text = insideHome ? QStringLiteral("~/") + QString::fromStdString(relative.string())
                                    : QString::fromStdString(folder.string());
    return text.endsWith(QLatin1Char('/')) ? text : text + QLatin1Char('/');
}

QString DataTab::shownSize() const { return sizeRow_->isHidden() ? QString() : size_->text(); }

void DataTab::exportAllData() {
    // The one save dialog of the application: it opens where the last file went.
    auto& folder = services_.saveFolder ? *services_.saveFolder : ownSaveFolder_;
    auto* dialog = SaveDialog::open(*this, folder, exportFileName(platform::currentDate()),
                                    QStringLiteral("application/json"), [this](const QString& path) { exportTo(path); });
    dialog->setWindowTitle(QStringLiteral("Export All Data"));
}

void DataTab::exportTo(const QString& path) {
    const int generation = ++exportGeneration_;
    exportMessage_->clear();
    runInBackground<ExportOutcome>(
        this,
        [installer = services_.installer, file = std::filesystem::path(path.toStdString())] {
            return runExport(*installer, file);
        },
        [this, generation](std::optional<ExportOutcome> outcome, const QString& error) {
            if (generation != exportGeneration_) return;
            if (!outcome) {
                exportMessage_->showError(QStringLiteral("Export failed: ") + error);
            } else if (outcome->written) {
                exportMessage_->showSuccess(outcome->text);
            } else {
                exportMessage_->showError(outcome->text);
            }
            refreshSize();
        });
}

void DataTab::refreshSize() {
    const auto bytes = storeSize(services_.storeFile());
    sizeRow_->setVisible(bytes.has_value());
    if (bytes) size_->setText(sizeText(*bytes));
}

void DataTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshSize();
}

} // namespace norvane::app
