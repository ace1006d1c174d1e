#pragma once
// The small common base of every settings group and of the channel model.

class HSettingsBase {
public:
    HSettingsBase() = default;
    HSettingsBase(const HSettingsBase&) = default;
    HSettingsBase& operator=(const HSettingsBase&) = default;
    virtual ~HSettingsBase() = default;

    // Recomputes the values derived from stored rows. Runs at the end of
    // SetDefaults and Load; does nothing for holders without derived values.
    virtual void UpdateDerived() {}
};
