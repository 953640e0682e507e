#pragma once

#include "model/app_model.h"

// What the preview renderer, the benchmarks and the tests reach of the model that is no part
// of its front door: a refresh or a listing taken in on demand, the panel's open state, and
// staged states of the demo.
class ModelBackstage {
public:
    static QCoro::Task<> refresh(AppModel& model) { return model.refresh(); }
    static void merge(AppModel& model, const QList<Pod>& listed) { model.merge(listed); }
    static bool isPanelOpen(const AppModel& model) { return model.panelShown; }
    static int openCount(const AppModel& model) { return model.opens; }
    // In the demo only: shows `status` and `units` as given.
    static void stage(AppModel& model, AppModel::Status status, QList<Pod> units) {
        model.stage(std::move(status), std::move(units));
    }
};
