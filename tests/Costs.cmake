# The seconds the longest tests take on a quiet machine, as ctest's COST. ctest -j starts the
# tests in order of cost, and without a cost in the order they are listed, so on a fresh build
# (before ctest has timed a run of its own) a long test listed last would start last and stretch
# the whole run; with these, the long ones start first and the short ones fill in around them.
# After a run ctest goes by the times it measured instead. A name no test has any more is passed
# over: keep the table to the tests over about a second.
foreach(entry
    "Demo.PressesKeysInItsOwnWindowOnlyAndDrawsOnAServerOfItsOwn=4.5"
    "Cli.EachOutcomeEndsWithItsOwnStatus=1.0"
    "StatusLine.SilenceHintsComeAndGoProgressShowsTimeLeftAndTheUpdateEndsIntact=3.0"
    "Cli.GivesUpWaitingWithTheReason=1.2"
    "Cli.TimeoutBoundsTheWholeUpdateAndPutsThePortBack=2.1"
    "Cli.CtrlCWhileProgrammingAsksForASecondOneAndOtherStopsAreAtOnce=0.9"
    "Program.SearchingWithTheSystemsOwnListingCostsAlmostNothing=2.6"
    "ProgramOnX.AnUpdateCompletesIntactWithStandardOutputClosed=2.6"
    "Conversations/ChunkingTable.EverySplitEndsLikeALineAWrite/OverlongChatterBeforeAnAsterisk=2.5"
    "Program.AnswersTheBannerAndWaitsForTheOperatorAtNoCost=2.4"
    "Generator.MakesAGoodImageOfEachVersionAndSize=2.0"
    "Faults.FullOutputQueueLosesNoByte=2.1"
    "Bench.SkipCurrentLeavesAUnitThatHasTheShippedFirmware=2.0"
    "Cli.ASignalIgnoredAtStartStaysIgnored=0.7"
    "ProgramOnX.LosingTheWindowSystemMidTransferRestoresThePort=1.9"
    "Program.ACrashMidDialogueRestoresThePortAndStillEndsWithTheSignal=1.9"
    "RealPort.StuckWriteGivesUpWhileTheWindowStaysLive=1.9"
    "Faults/FaultMatrix.ScreenWireAndPort/DeviceStopsReadingMidTransfer=1.8"
    "Cli.OnATerminalTheTransferIsOneLineRedrawnInPlace=1.6"
    "Cli.APortThatCanNeverBeAnAdapterIsRefusedAtOnce=1.3"
    "ProgramOnX.AScreenReaderHearsTheStatusLineOverAtSpi=1.7"
    "Bench.CheckReadsTheVersionAndErasesNothing=1.7"
    "NextUnit.TenUnitsWithTheSameWindowEachStartedOnceThoughPressedThrice=1.5"
    "Cli.TwoPrivilegedUpdatersNeverShareAPort=1.4"
    "Program.AfterAKillMidTransferTheNextRunTakesThePortAsItWasLeft=1.4"
    "Cli.APagingLoaderIsAnsweredOnWithoutFloodingTheTranscript=1.3"
    "Faults/FaultMatrix.ScreenWireAndPort/NoiseBeforeEveryAsterisk=1.3"
    "Faults/FaultMatrix.ScreenWireAndPort/SilentFromDone=1.2"
    "Reader.WaitingForAReplyCostsUnderTwoPercentOfACore=1.2"
    "PortListing.EnumeratesOnlyWhenATtyCameOrWentAndOnceMoreWhenUdevHasSettled=1.2"
    "Bench.FourUnitsSideBySideOneHangsUpTheOthersAreUpdated=1.1"
    "Bench.AKilledBenchLeavesTheLinesOfUnitsThatEndedWhole=1.1"
    "ProgramOnWayland.StartsNativelyShowsItsDirectionsAndEndsOnSigtermWithThePortRestored=1.0"
    "RealPort.SigtermWithTheQueueHeldEndsTheProgramWithinASecond=1.0")
  string(FIND "${entry}" "=" at REVERSE)
  string(SUBSTRING "${entry}" 0 ${at} name)
  math(EXPR after "${at} + 1")
  string(SUBSTRING "${entry}" ${after} -1 seconds)
  set_tests_properties("${name}" PROPERTIES COST ${seconds})
endforeach()
