#include "state/main_form_data.h"

namespace {
MainFormData* installedData = nullptr;
}  // namespace

MainFormData& mainFormData() {
    static MainFormData defaultData;
    return installedData ? *installedData : defaultData;
}

void setMainFormData(MainFormData* data) {
    installedData = data;
}
