#include "app/application.h"

CIconmillApp::CIconmillApp(Interaction& ui)
    : ui_(ui), compilation_(MakeCompilation(CompilationNone)) {
    items_.SetListener(this);
}

CIconmillApp::~CIconmillApp() {
    items_.SetListener(nullptr);
}

void CIconmillApp::ReplaceCompilation(std::unique_ptr<CCompilation> compilation) {
    const bool wasModified = IsModified();
    const bool newType = compilation->Type() != compilation_->Type();
    compilation_ = std::move(compilation);
    if (newType)
        StartNewHistory();
    else
        history_.MarkSaved();
    if (!listener_) return;
    listener_->OnCompilationReplaced();
    if (wasModified != IsModified()) listener_->OnModifiedChanged();
}

void CIconmillApp::SetModifiedFlag(bool modified) {
    if (compilation_->modified_ == modified) return;
    compilation_->modified_ = modified;
    if (listener_) listener_->OnModifiedChanged();
}

void CIconmillApp::NotifySelectionChanged() {
    if (listener_) listener_->OnSelectionChanged();
}

void CIconmillApp::NotifyViewChanged() {
    if (listener_) listener_->OnViewChanged();
}

void CIconmillApp::NotifyPicturesChanged() {
    if (listener_) listener_->OnLayoutChanged(true);
}

void CIconmillApp::OnItemRemoving(int index) {
    SetModified();
    if (listener_) listener_->OnItemRemoving(index);
}

void CIconmillApp::OnOrderChanged() {
    SetModified();
    if (listener_) listener_->OnOrderChanged();
}

void CIconmillApp::OnLayoutChanged(bool repaint) {
    if (listener_) listener_->OnLayoutChanged(repaint);
}

void CIconmillApp::OnResetPositions(bool anchorToo) {
    if (listener_) listener_->OnResetPositions(anchorToo);
}
