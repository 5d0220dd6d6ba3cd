#include "menu/controls_page.h"

#include <algorithm>

namespace zt {

namespace {

InputList& ListOf(KeyBindings& bindings, bool pad, size_t action) {
  return pad ? bindings.Buttons[action] : bindings.Keys[action];
}

// The inputs the action has now: for keys its effective ones, for buttons the bound ones.
InputList CurrentInputs(const KeyBindings& bindings, bool pad, size_t action) {
  return pad ? bindings.Buttons[action] : EffectiveKeys(bindings, action);
}

size_t OwnerOf(const KeyBindings& bindings, const InputPress& press) {
  if (!press.FromPad) return ActionOfKey(bindings, press.Input.Code);
  for (size_t action = 0; action < kGameActionCount; ++action) {
    const InputList& buttons = bindings.Buttons[action];
    if (std::find(buttons.begin(), buttons.end(), press.Input) != buttons.end()) return action;
  }
  return kGameActionCount;
}

}  // namespace

ControlsPage OpenControlsPage(const KeyBindings& bindings) {
  ControlsPage page;
  page.Bindings = bindings;
  return page;
}

void BindPress(ControlsPage& page, size_t action, const InputPress& press) {
  // config.ini keeps the inputs by name, separated by commas: a key without a name, or with a
  // comma in it, could not be kept.
  if (press.Input.Name.empty() || press.Input.Name.find(',') != std::string::npos) return;
  const size_t owner = OwnerOf(page.Bindings, press);
  if (owner != kGameActionCount && owner != action) {
    page.Offer = press;
    page.OfferOwner = owner;
    return;
  }
  ListOf(page.Bindings, press.FromPad, action) = {press.Input};
}

void SwapOffer(ControlsPage& page, size_t action) {
  if (!page.Offer) return;
  const bool pad = page.Offer->FromPad;
  const InputList old = CurrentInputs(page.Bindings, pad, action);
  InputList owners = CurrentInputs(page.Bindings, pad, page.OfferOwner);
  owners.erase(std::remove(owners.begin(), owners.end(), page.Offer->Input), owners.end());
  for (const BoundInput& input : old)
    if (std::find(owners.begin(), owners.end(), input) == owners.end()) owners.push_back(input);
  ListOf(page.Bindings, pad, action) = {page.Offer->Input};
  ListOf(page.Bindings, pad, page.OfferOwner) = owners;
  page.Offer.reset();
}

}  // namespace zt
