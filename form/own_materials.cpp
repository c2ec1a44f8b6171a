#include "form/own_materials.h"

namespace kalvor::form {

Changes Loaded(Model &model, OwnMaterials::Read read) {
    Changes changes = model.CatalogueChanged(std::move(read.catalogue));
    if (!read.faults.empty()) {
        Changes told = model.Told(std::move(read.faults), std::string(kOwnMaterialsTitle));
        changes.insert(changes.end(), told.begin(), told.end());
    }
    return changes;
}

Changes Kept(Model &model, const OwnMaterials::Outcome &outcome) {
    if (outcome.catalogue) {
        return model.CatalogueChanged(*outcome.catalogue);
    }
    return model.Told(outcome.refusal, std::string(kOwnMaterialsTitle));
}

} // namespace kalvor::form
