#pragma once

#include "CandidateChooser.h"
#include "lookup/AddressComponent.h"

#include <QString>
#include <functional>
#include <memory>

// Creates the address component "Adrolex.cAdd". The directory loads on a background thread from the
// first creation on, so the window opens at once; the first address search waits for it if needed.
//
//   PostalComponentFactory factory(dialog, [&](const QString &t) { setStatus(t, 0); },
//                                  PostalComponentFactory::defaultDataPath(), [] { return folder; });
//   auto component = factory.create("Adrolex.cAdd");
class PostalComponentFactory : public AddressComponentFactory {
public:
    // status receives, on the thread that calls PutAdd and once per factory, a text for each file
    // that could not be used. userFolder names, when the first component is created, the folder that
    // may hold Japan Post's own files (the user data folder is settled only as the window loads).
    PostalComponentFactory(CandidateChooser &chooser, std::function<void(const QString &)> status,
                           QString shippedDataPath, std::function<QString()> userFolder);
    ~PostalComponentFactory() override;

    // The component for "Adrolex.cAdd"; nullptr for any other name.
    std::unique_ptr<AddressComponent> create(const QString &name) override;

    // data/postal.dat beside the executable, where the build and the installation put it.
    static QString defaultDataPath();

private:
    struct Shared;

    CandidateChooser &m_chooser;
    std::shared_ptr<Shared> m_shared;
};
