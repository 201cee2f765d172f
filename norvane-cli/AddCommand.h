#pragma once

#include "norvane-cli/Command.h"

#include <string>

namespace norvane::cli {

/// `norvane add NAME [PATH]`: starts tracking a folder (the current one by default), then runs
/// its first collection and history import, showing each stage. An add of the same name and
/// folder that was interrupted is finished, one that still runs is left to its program; one whose
/// first collection fails leaves nothing.
class AddCommand final : public Command {
public:
    CLI::App* configure(CLI::App& tool) override;
    int run(NorvaneKit& kit, const Console& console) override;
    bool createsStore() const override { return true; }

private:
    ProjectType projectType(NorvaneKit& kit) const;
    /// The project of this name and folder whose add did not finish, if there is one.
    std::shared_ptr<Project> unfinishedAdd(NorvaneKit& kit, const std::string& path) const;

    std::string name_;
    std::string path_ = ".";
    std::string description_;
    std::string type_;
    CLI::Option* descriptionOption_ = nullptr;
    CLI::Option* typeOption_ = nullptr;
};

} // namespace norvane::cli
