#include "ProfileBinding.h"

#include "ConverterIntent.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <cstdio>

std::string firstLogError() {
    constexpr int error = 3;
    for (unsigned i = 0; i < logCount(); ++i)
        if (logLevel(i) >= error)
            return logMessage(i);
    return {};
}

int prepareForIntent(csICCProfileConverter& converter, int comboIndex) {
    const ConverterIntent mapped = converterIntentForIndex(comboIndex);
    converter.setWhiteMode(mapped.whiteMode);
    converter.setIntent(mapped.intent);
    return converter.prepare();
}

ProfileBinding bindProfileFile(const std::string& path, bool outputSide, int intentIndex) {
    ProfileBinding binding;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        binding.refusal = openFailure(path);
        return binding;
    }
    auto profile = std::make_unique<csICCProfile>();
    const int read = profile->setProfile(file);
    std::fclose(file);
    if (read != 0) {
        binding.stage = BindingStage::read;
        binding.refusal = readFailure(path);
        binding.reason = firstLogError();
        return binding;
    }
    return bindProfile(std::move(profile), outputSide, intentIndex);
}

ProfileBinding bindProfile(std::unique_ptr<csICCProfile> profile, bool outputSide,
                           int intentIndex) {
    ProfileBinding binding;
    binding.stage = BindingStage::check;
    if ((binding.refusal = profileRefusal(*profile, outputSide)))
        return binding;

    // Prepared first with the combo index itself as the intent, then with the intent the index
    // stands for; both must succeed, or the profile is not bound at all.
    binding.stage = BindingStage::prepare;
    auto converter = std::make_unique<csICCProfileConverter>(profile.get(), 0,
                                                             static_cast<unsigned>(intentIndex), 0);
    if (converter->prepare() != 0 || prepareForIntent(*converter, intentIndex) != 0) {
        binding.refusal = preparationFailure();
        binding.reason = firstLogError();
        return binding;
    }
    binding.stage = BindingStage::bound;
    binding.profile = std::move(profile);
    binding.converter = std::move(converter);
    return binding;
}
