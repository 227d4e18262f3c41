#pragma once

#include <QLatin1String>

// Every name the interface sends or calls by text, declared once.
//
// Commands: what the interface sends up the responder chain. A command is the text of
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
inline constexpr QLatin1String createFavoritesAutomatically{"createFavoritesAutomatically:"};
inline constexpr QLatin1String cut{"cut:"};
inline constexpr QLatin1String deleteContact{"deleteContact:"};
inline constexpr QLatin1String deleteEntity{"deleteEntity:"};
inline constexpr QLatin1String download{"download:"};
inline constexpr QLatin1String drawerDidAppear{"drawerDidAppear:"};
inline constexpr QLatin1String drawerDidDisappear{"drawerDidDisappear:"};
inline constexpr QLatin1String drawerWillAppear{"drawerWillAppear:"};
inline constexpr QLatin1String drawerWillDisappear{"drawerWillDisappear:"};
inline constexpr QLatin1String editContact{"editContact:"};
inline constexpr QLatin1String editEntity{"editEntity:"};
inline constexpr QLatin1String exportTovCard{"exportTovCard:"};
inline constexpr QLatin1String emptyTrash{"emptyTrash:"};
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
inline constexpr QLatin1String printEntity{"printEntity:"};
inline constexpr QLatin1String processActionError{"processActionError:"};
inline constexpr QLatin1String ptrScrollViewDidTriggerRefresh{"ptrScrollViewDidTriggerRefresh:"};
inline constexpr QLatin1String redo{"redo:"};
inline constexpr QLatin1String refreshList{"refreshList:"};
inline constexpr QLatin1String remove{"remove:"};
inline constexpr QLatin1String rename{"rename:"};
inline constexpr QLatin1String renameAfterEdit{"renameAfterEdit:"};
inline constexpr QLatin1String restore{"restore:"};
inline constexpr QLatin1String rewindPhotos{"rewindPhotos:"};
inline constexpr QLatin1String selectAll{"selectAll:"};
inline constexpr QLatin1String setDelegate{"setDelegate:"};
inline constexpr QLatin1String share{"share:"};
inline constexpr QLatin1String shareFiles{"shareFiles:"};
inline constexpr QLatin1String shareOneWith{"shareOneWith:"};
inline constexpr QLatin1String shareWith{"shareWith:"};
inline constexpr QLatin1String showAbout{"showAbout:"};
inline constexpr QLatin1String showAllContacts{"showAllContacts:"};
inline constexpr QLatin1String shareOne{"shareOne:"};
inline constexpr QLatin1String showCollection{"showCollection:"};
inline constexpr QLatin1String showDetails{"showDetails:"};
inline constexpr QLatin1String showItemContacts{"showItemContacts:"};
inline constexpr QLatin1String showMyInfo{"showMyInfo:"};
inline constexpr QLatin1String showPreferences{"showPreferences:"};
inline constexpr QLatin1String showPreview{"showPreview:"};
inline constexpr QLatin1String showProfile{"showProfile:"};
inline constexpr QLatin1String showSharedFiles{"showSharedFiles:"};
inline constexpr QLatin1String showSharingSettings{"showSharingSettings:"};
inline constexpr QLatin1String showSharingContacts{"showSharingContacts:"};
inline constexpr QLatin1String terminate{"terminate:"};
inline constexpr QLatin1String toggleFavoriteState{"toggleFavoriteState:"};
inline constexpr QLatin1String toggleFilesInsideFolders{"toggleFilesInsideFolders:"};
inline constexpr QLatin1String toggleGenericPermission{"toggleGenericPermission:"};
inline constexpr QLatin1String togglePermission{"togglePermission:"};
inline constexpr QLatin1String toggleSession{"toggleSession:"};
inline constexpr QLatin1String toggleStarState{"toggleStarState:"};
inline constexpr QLatin1String toggleStarStateOne{"toggleStarStateOne:"};
inline constexpr QLatin1String toggleUseState{"toggleUseState:"};
inline constexpr QLatin1String toggleViewedState{"toggleViewedState:"};
inline constexpr QLatin1String undo{"undo:"};
inline constexpr QLatin1String unshare{"unshare:"};
inline constexpr QLatin1String unwindPhotos{"unwindPhotos:"};
inline constexpr QLatin1String uploadFilesOrFolder{"uploadFilesOrFolder:"};
inline constexpr QLatin1String validateUserInterfaceItem{"validateUserInterfaceItem:"};
inline constexpr QLatin1String windowDidBecomeKey{"windowDidBecomeKey:"};
inline constexpr QLatin1String windowDidResignKey{"windowDidResignKey:"};
inline constexpr QLatin1String windowShouldClose{"windowShouldClose:"};
inline constexpr QLatin1String copyLink{"copyLink:"};
inline constexpr QLatin1String showContact{"showContact:"};
inline constexpr QLatin1String addShares{"addShares:"};
inline constexpr QLatin1String deleteShareForContact{"deleteShareForContact:"};
inline constexpr QLatin1String shareNonTracked{"shareNonTracked:"};
} // namespace tavrel::Commands

// Methods the interface has called by name on a target it holds: the callbacks of the actions it
// requests ("operationDidFinishWithResult:error:" calls operationDidFinishWithResult(result, error))
// and the methods of its delegates.
namespace tavrel::Selectors {

inline constexpr QLatin1String acceptorCanAcceptDraggingInfo{"acceptorCanAcceptDraggingInfo:info:"};
inline constexpr QLatin1String acceptorCanAcceptDraggingInfoDraggingInfo{
    "acceptorCanAcceptDraggingInfo:draggingInfo:"};
inline constexpr QLatin1String acceptorProcessDraggingInfo{"acceptorProcessDraggingInfo:info:"};
inline constexpr QLatin1String acceptorValidateDraggingInfo{"acceptorValidateDraggingInfo:info:"};
inline constexpr QLatin1String creationDidFinish{"creationDidFinishWithResult:error:"};
inline constexpr QLatin1String deleteDidFinish{"deleteDidFinishWithResult:error:"};
inline constexpr QLatin1String documentsDidDelete{"documentsDidDeleteWithResult:error:"};
inline constexpr QLatin1String documentsDidTrash{"documentsDidTrashWithResult:error:"};
inline constexpr QLatin1String downloadDidFinish{"downloadDidFinishWithResult:error:"};
inline constexpr QLatin1String generalPermissionDidFinish{"generalPermissionDidFinishWithResult:error:"};
inline constexpr QLatin1String notificationControllerRequestPerformAction{
    "notificationController:requestPerformAction:"};
inline constexpr QLatin1String operationDidFinish{"operationDidFinishWithResult:error:"};
inline constexpr QLatin1String performDropWithDraggingInfo{"performDropWithDraggingInfo:forButton:"};
inline constexpr QLatin1String radiobarDidActivateButton{"radiobarDidActivateButton:button:"};
inline constexpr QLatin1String radiobarDidReactivateButton{"radiobarDidReactivateButton:button:"};
inline constexpr QLatin1String writersCanInviteDidFinish{"writersCanInviteDidFinishWithResult:error:"};
inline constexpr QLatin1String radiobarShouldActivateButton{"radiobarShouldActivateButton:button:"};
inline constexpr QLatin1String radiobarWillDeactivateButton{"radiobarWillDeactivateButton:button:"};
inline constexpr QLatin1String shouldAutoactivateButton{"shouldAutoactivateButton:withDraggingInfo:"};
inline constexpr QLatin1String uploadDidFinish{"uploadDidFinishWithResult:error:"};
inline constexpr QLatin1String uploadLinkDidFinish{"uploadLinkDidFinishWithResult:error:"};
inline constexpr QLatin1String validateDraggingInfo{"validateDraggingInfo:forButton:"};

inline constexpr QLatin1String assignDidFinish{"assignDidFinishWithResult:error:"};
inline constexpr QLatin1String getForQLDidFinish{"getForQLDidFinishWithResult:error:"};
inline constexpr QLatin1String setGenPermissionDidFinish{"setGenPermissionDidFinishWithResult:error:"};
inline constexpr QLatin1String contactDidUnshare{"contactDidUnshareWithResult:error:"};
} // namespace tavrel::Selectors

// The interface's own notifications, posted and observed by name in the default notification centre.
namespace tavrel::Notifications {

inline constexpr QLatin1String blockStatusbar{"TQBlockStatusbarNotification"};
inline constexpr QLatin1String deleteItemRequest{"kTQDeleteItemRequestNotification"};
inline constexpr QLatin1String dragAreaClean{"TQDragAreaCleanNotification"};
inline constexpr QLatin1String dragAreaHighlight{"TQDragAreaHighlightNotification"};
inline constexpr QLatin1String dragDidBegin{"TQDragDidBeginNotification"};
inline constexpr QLatin1String dragDidCancel{"TQDragDidCancelNotification"};
inline constexpr QLatin1String dragDidEnd{"TQDragDidEndNotification"};
inline constexpr QLatin1String fileInFoldersVisibility{"TQFileInFoldersVisibilityNotification"};
inline constexpr QLatin1String fileItemDidUpdate{"FileItemDidUpdateNotification"};
inline constexpr QLatin1String newDocumentCreated{"TQNewDocumentCreatedNotification"};
inline constexpr QLatin1String parentWindowDidChange{"TQParentWindowDidChange"};
inline constexpr QLatin1String refreshIfInstalled{"TQRefreshIfInstalledNotification"};
inline constexpr QLatin1String showEmailProfile{"kTQShowEmailProfileNotification"};
inline constexpr QLatin1String sidebarJumpToStart{"TQSidebarJumpToStartNotification"};
inline constexpr QLatin1String sidebarModeDidChange{"TQSidebarModeDidChangeNotification"};
inline constexpr QLatin1String sidebarModeDidReactivate{"TQSidebarModeDidReactivateNotification"};
inline constexpr QLatin1String unblockStatusbar{"TQUnBlockStatusbarNotification"};
inline constexpr QLatin1String uninstallFlyer{"TQUninstallFlyerNotification"};
inline constexpr QLatin1String windowDidBecomeKey{"TQWindowDidBecomeKey"};
inline constexpr QLatin1String windowDidBecomeVisible{"TQWindowDidBecomeVisible"};
inline constexpr QLatin1String windowDidResignKey{"TQWindowDidResignKey"};

} // namespace tavrel::Notifications
