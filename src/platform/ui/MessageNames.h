#pragma once

#include <QLatin1String>

// Every command the interface sends up the responder chain, named once. A command is the text of
// the responder's method up to its colon ("share:" calls share(sender)); compare and send these
// constants, never a spelled-out literal, so that a typo fails to compile instead of failing a click.
namespace tavrel::Commands {

inline constexpr QLatin1String activateButton{"activateButton:"};
inline constexpr QLatin1String applyStarState{"applyStarState:"};
inline constexpr QLatin1String cancelAction{"cancelAction:"};
inline constexpr QLatin1String cancelTopSession{"cancelTopSession:"};
inline constexpr QLatin1String changeOwnership{"changeOwnership:"};
inline constexpr QLatin1String changePrivacySettings{"changePrivacySettings:"};
inline constexpr QLatin1String changeSortDescriptor{"changeSortDescriptor:"};
inline constexpr QLatin1String checkForUpdates{"checkForUpdates:"};
inline constexpr QLatin1String chooseApplication{"chooseApplication:"};
inline constexpr QLatin1String clearRecentDocuments{"clearRecentDocuments:"};
inline constexpr QLatin1String clicked{"clicked:"};
inline constexpr QLatin1String close{"close:"};
inline constexpr QLatin1String copy{"copy:"};
inline constexpr QLatin1String cut{"cut:"};
inline constexpr QLatin1String deleteEntity{"deleteEntity:"};
inline constexpr QLatin1String download{"download:"};
inline constexpr QLatin1String drawerDidAppear{"drawerDidAppear:"};
inline constexpr QLatin1String drawerDidDisappear{"drawerDidDisappear:"};
inline constexpr QLatin1String drawerWillAppear{"drawerWillAppear:"};
inline constexpr QLatin1String drawerWillDisappear{"drawerWillDisappear:"};
inline constexpr QLatin1String editEntity{"editEntity:"};
inline constexpr QLatin1String fastUpdate{"fastUpdate:"};
inline constexpr QLatin1String feedback{"feedback:"};
inline constexpr QLatin1String file{"file:"};
inline constexpr QLatin1String folder{"folder:"};
inline constexpr QLatin1String getLinkToShare{"getLinkToShare:"};
inline constexpr QLatin1String goBack{"goBack:"};
inline constexpr QLatin1String goFind{"goFind:"};
inline constexpr QLatin1String hide{"hide:"};
inline constexpr QLatin1String newCollection{"newCollection:"};
inline constexpr QLatin1String newContact{"newContact:"};
inline constexpr QLatin1String newDocument{"newDocument:"};
inline constexpr QLatin1String newDrawing{"newDrawing:"};
inline constexpr QLatin1String newFakeAction{"newFakeAction:"};
inline constexpr QLatin1String newForm{"newForm:"};
inline constexpr QLatin1String newGroup{"newGroup:"};
inline constexpr QLatin1String newPresentation{"newPresentation:"};
inline constexpr QLatin1String newSpreadsheet{"newSpreadsheet:"};
inline constexpr QLatin1String onEventDidOccur{"onEventDidOccur:"};
inline constexpr QLatin1String onWindowDidBecomeVisible{"onWindowDidBecomeVisible:"};
inline constexpr QLatin1String open{"open:"};
inline constexpr QLatin1String openFile{"openFile:"};
inline constexpr QLatin1String openGoogleDocs{"openGoogleDocs:"};
inline constexpr QLatin1String openInBrowser{"openInBrowser:"};
inline constexpr QLatin1String openItem{"openItem:"};
inline constexpr QLatin1String openRecent{"openRecent:"};
inline constexpr QLatin1String openRecentModified{"openRecentModified:"};
inline constexpr QLatin1String openWith{"openWith:"};
inline constexpr QLatin1String organize{"organize:"};
inline constexpr QLatin1String paste{"paste:"};
inline constexpr QLatin1String pdf{"pdf:"};
inline constexpr QLatin1String printEntity{"printEntity:"};
inline constexpr QLatin1String processActionError{"processActionError:"};
inline constexpr QLatin1String ptrScrollViewDidTriggerRefresh{"ptrScrollViewDidTriggerRefresh:"};
inline constexpr QLatin1String redo{"redo:"};
inline constexpr QLatin1String refreshList{"refreshList:"};
inline constexpr QLatin1String remove{"remove:"};
inline constexpr QLatin1String rename{"rename:"};
inline constexpr QLatin1String rewindPhotos{"rewindPhotos:"};
inline constexpr QLatin1String selectAll{"selectAll:"};
inline constexpr QLatin1String setDelegate{"setDelegate:"};
inline constexpr QLatin1String share{"share:"};
inline constexpr QLatin1String shareOneWith{"shareOneWith:"};
inline constexpr QLatin1String showAbout{"showAbout:"};
inline constexpr QLatin1String showDetails{"showDetails:"};
inline constexpr QLatin1String showItemContacts{"showItemContacts:"};
inline constexpr QLatin1String showMyInfo{"showMyInfo:"};
inline constexpr QLatin1String showPreferences{"showPreferences:"};
inline constexpr QLatin1String showPreview{"showPreview:"};
inline constexpr QLatin1String showSharingContacts{"showSharingContacts:"};
inline constexpr QLatin1String terminate{"terminate:"};
inline constexpr QLatin1String toggleFilesInsideFolders{"toggleFilesInsideFolders:"};
inline constexpr QLatin1String toggleGenericPermission{"toggleGenericPermission:"};
inline constexpr QLatin1String toggleSession{"toggleSession:"};
inline constexpr QLatin1String toggleStarState{"toggleStarState:"};
inline constexpr QLatin1String toggleStarStateOne{"toggleStarStateOne:"};
inline constexpr QLatin1String toggleViewedState{"toggleViewedState:"};
inline constexpr QLatin1String undo{"undo:"};
inline constexpr QLatin1String unwindPhotos{"unwindPhotos:"};
inline constexpr QLatin1String uploadFilesOrFolder{"uploadFilesOrFolder:"};
inline constexpr QLatin1String validateUserInterfaceItem{"validateUserInterfaceItem:"};
inline constexpr QLatin1String windowDidBecomeKey{"windowDidBecomeKey:"};
inline constexpr QLatin1String windowDidResignKey{"windowDidResignKey:"};
inline constexpr QLatin1String windowShouldClose{"windowShouldClose:"};

} // namespace tavrel::Commands
