#include "medium/floppy_set.h"

#include "authoring/exit_status.h"
#include "authoring/floppy.h"
#include "authoring/names.h"

#include <algorithm>

namespace medium {

using namespace authoring;

namespace {

// The medium's file of a name, as it lies in the folder; null when the medium has none.
const MediumFile* FileNamed(const std::vector<MediumFile>& files, const std::string& name)
{
    for (const MediumFile& file : files) {
        if (EqualsNoCase(file.name, name)) {
            return &file;
        }
    }
    return nullptr;
}

// The files of each disk, under their names in the medium's folder.
std::vector<std::vector<ImageFile>> DiskImageFiles(const ScriptModel& model,
                                                   const std::vector<MediumFile>& files)
{
    std::vector<std::vector<ImageFile>> disks;
    for (const std::vector<FloppySetFile>& disk : FloppySetFiles(model)) {
        std::vector<ImageFile>& imageFiles = disks.emplace_back();
        for (const FloppySetFile& file : disk) {
            if (const MediumFile* made = FileNamed(files, file.name)) {
                imageFiles.push_back(ImageFile{made->name, made->bytes.size()});
            }
        }
    }
    return disks;
}

} // namespace

std::optional<ImageFailure> WriteFloppy(const std::string& image, const std::string& label,
                                        const std::string& folder,
                                        const std::vector<ImageFile>& files, std::FILE* out)
{
    if (auto failure = WriteFloppyImage(image, label, folder, files)) {
        return failure;
    }
    std::fprintf(out, "%s: 1.44 MB floppy \"%s\", %llu bytes free\n", image.c_str(),
                 label.c_str(),
                 static_cast<unsigned long long>(kFloppyDataBytes -
                                                 FloppyUseOf(files).dataBytes));
    return std::nullopt;
}

std::vector<std::string> FloppySetLabels(const std::vector<std::string>& diskLabels)
{
    std::vector<std::string> labels;
    for (const std::string& diskLabel : diskLabels) {
        labels.push_back(FloppyLabel(diskLabel));
    }
    const std::vector<std::string> cut = labels;
    for (std::size_t d = 0; d < labels.size(); ++d) {
        if (std::count(cut.begin(), cut.end(), cut[d]) < 2) {
            continue;
        }
        const std::string number = " " + std::to_string(d + 1);
        std::string& label = labels[d];
        label.resize(std::min(label.size(), kFloppyLabelLength - number.size()));
        label.erase(label.find_last_not_of(' ') + 1);
        label += number;
    }
    return labels;
}

std::string FloppySetImageName(const std::string& pattern, int disk)
{
    const std::string number = std::to_string(disk + 1);
    const std::size_t nameStart = pattern.find_last_of("/\\") + 1; // 0 without a folder
    if (const std::size_t mark = pattern.find('#', nameStart); mark != std::string::npos) {
        return pattern.substr(0, mark) + number + pattern.substr(mark + 1);
    }
    const std::size_t dot = pattern.rfind('.');
    const std::size_t cut = dot != std::string::npos && dot > nameStart ? dot : pattern.size();
    return pattern.substr(0, cut) + "-" + number + pattern.substr(cut);
}

std::optional<int> WriteFloppySet(const std::string& pattern, const ScriptModel& model,
                                  const std::string& folder, const std::vector<MediumFile>& files,
                                  std::FILE* out, std::FILE* err)
{
    const std::vector<std::vector<ImageFile>> disks = DiskImageFiles(model, files);
    bool allFit = true;
    for (std::size_t d = 0; d < disks.size(); ++d) {
        const int disk = static_cast<int>(d);
        const std::string name = FloppyDiskName(disk, model.settings.diskLabels[d]);
        if (const auto overflow = FloppyOverflow(FloppyUseOf(disks[d]), name)) {
            std::fprintf(err, "%s: %s\n", FloppySetImageName(pattern, disk).c_str(),
                         overflow->c_str());
            allFit = false;
        }
    }
    if (!allFit) {
        std::fprintf(err, "setup-medium: no floppy of the set written\n");
        return kExitFaults;
    }
    std::vector<std::string> diskLabels;
    for (std::size_t d = 0; d < disks.size(); ++d) {
        diskLabels.emplace_back(model.settings.diskLabels[d]);
    }
    const std::vector<std::string> labels = FloppySetLabels(diskLabels);
    for (std::size_t d = 0; d < disks.size(); ++d) {
        const std::string image = FloppySetImageName(pattern, static_cast<int>(d));
        if (const auto failure = WriteFloppy(image, labels[d], folder, disks[d], out)) {
            std::fprintf(err, "%s\n", failure->message.c_str());
            return failure->status;
        }
    }
    return std::nullopt;
}

} // namespace medium
