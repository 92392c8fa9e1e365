#include "selection/declination_step.h"

#include "scenery/magdec_file.h"
#include "state/work_folder.h"

namespace tarnwick {

LoadStepResult LoadDeclinationStep(SelectionState state) {
    const DeclinationLoadResult loaded = LoadDeclination(
        MagdecPathFor(state.Settings.FsFolder, WorkFolderPath(state.Settings.WorkFolder)), state.Declination);
    LoadStepResult result;
    if (!loaded.Ok) {
        result.Ok = false;
        result.Warning = loaded.Problem + " Directions are shown without magnetic correction.";
    }
    return result;
}

}  // namespace tarnwick
