// Public: integer keys of a toast request map.
#pragma once

enum ToastRequestKey {
    ToastKeyType = 0,             // int, required: template (0-3 text only, 4-7 image and text)
    ToastKeyIconPath = 1,         // string
    ToastKeyTitleText = 2,        // string
    ToastKeyImagePath = 3,        // string
    ToastKeyImageSize = 4,        // QSize
    ToastKeyTextFields = 5,       // string list (rich JSON lines when ToastKeyTextFormat is 1)
    ToastKeyHeroImagePath = 6,    // string
    ToastKeyAttributionText = 7,  // string
    ToastKeyDurationType = 8,     // int
    ToastKeyExpiration = 9,       // unsigned int, milliseconds
    ToastKeyActions = 10,         // string list of {"text":..,"action":..}
    ToastKeyIsInlineImage = 11,   // bool
    ToastKeyAudioPath = 12,       // string
    ToastKeyAudioType = 13,       // int
    ToastKeyReserved = 14,        // ignored
    ToastKeyThemeClassName = 15,  // string
    ToastKeyRccSources = 16,      // string list
    ToastKeyTextFormat = 17,      // int
};
