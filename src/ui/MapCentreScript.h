#pragma once

#include <QString>

// The map-centre command's script. Run in the map page shown, its value is the map centre as
// "(latitude, longitude)", taken from the classic map object (gApplication) where the page has one,
// else from the "/@lat,lng,zoom" part that today's map page keeps in its own address; an empty text
// when neither is there.
class MapCentreScript {
public:
    static QString source();
};
