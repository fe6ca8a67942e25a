#include "ui/MapCentreScript.h"

QString MapCentreScript::source()
{
    return QStringLiteral(
        R"js((function(){var c='';)js"
        R"js(try{var p=gApplication.getMap().getCenter();if(p!=null)c=String(p);}catch(e){})js"
        R"js(if(!c){var m=/\/@(-?\d+(?:\.\d+)?),(-?\d+(?:\.\d+)?)(?=[,\/?#]|$)/.exec(location.href);)js"
        R"js(if(m)c='('+m[1]+', '+m[2]+')';})js"
        R"js(return c;}()))js");
}
