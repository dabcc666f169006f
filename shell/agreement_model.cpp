#include "shell/agreement_model.h"

#include "shell/licence_text.h"

namespace trwk {

AgreementModel::AgreementModel(AppSettingsStore& store, bool& declined)
    : text(licenceText()), store_(store), declined_(declined) {}

void AgreementModel::open() {
  declined_ = false;
  closed = false;
  if (store_.agreementSetting() != 0)
    setShowTips(true);
  else
    closed = true;  // already accepted: nothing to ask
}

void AgreementModel::setShowTips(bool ticked) {
  // Like a check box's click event, only a change of state stores anything.
  if (ticked == showTipsTicked) return;
  showTipsTicked = ticked;
  store_.saveAgreementSetting(ticked ? 1 : 0);
}

void AgreementModel::agree() {
  setShowTips(false);
  closed = true;
  declined_ = false;
}

void AgreementModel::disagree() {
  closed = true;
  declined_ = true;
}

void AgreementModel::closeByTitleBar() {
  closed = true;
}

}  // namespace trwk
