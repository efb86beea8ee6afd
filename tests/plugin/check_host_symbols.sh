#!/usr/bin/env bash
# The plug-in must load into the real host application, which offers only its platform interfaces, not
# everything our stand-in defines. Lists the symbols the built plug-in takes from the stand-in's library
# (undefined in the plug-in, defined there) and fails on any that is not one of the host operations the
# plug-in may call, named member by member.
# Usage: check_host_symbols.sh PLUGIN HOST_LIBRARY
set -euo pipefail

plugin="$1"
host="$2"

# The host's operations, as extended regular expressions over demangled names: each matches a whole
# member name (template arguments, ABI tags and parameters may follow), after an optional return type.
operations=(
    # Core library. The plug-in base with its inherited operations, and the auto-registration guard.
    'Korvanta::PluginBase::(~PluginBase|dependencies)'
    'Korvanta::KorvantaLibPlugin::(~KorvantaLibPlugin|registerFactories|setApplicationController)'
    'Korvanta::PluginAutoRegistrationGuard::~?PluginAutoRegistrationGuard'
    # Parameters and the parameter record.
    'Korvanta::ParameterBase::(~?ParameterBase|setAttribute)'
    'Korvanta::Configurable::(~?Configurable|configure|configuration|configureDefaults)'
    'Korvanta::Configurable::(registerParameter|unregisterParameter)'
    'Korvanta::Properties::(param|setParam|setParamType|setParamAttributes)'
    # Signals, logging, string utilities, the worker pool.
    'Korvanta::SignalImpl<false>::(connect|emitSignal)'
    'Korvanta::Log::(g_globalLevel|isAccepted|log)'
    'Korvanta::String::(split|replaceAllCopy)'
    'Korvanta::Threading::ThreadPool::(~ThreadPool|waitUntilFinished)'
    # Imaging library. The algorithm framework: the bases' operations that the plug-in's classes inherit,
    # the default controller, data lists and progress tasks.
    'Korvanta::Algorithm::(~?Algorithm|setProgress|status|survivesDataDeletion)'
    'Korvanta::IoAlgorithm::configureFromGlobalSettings'
    'Korvanta::AlgorithmFactory::(~?AlgorithmFactory|instantiateAlgorithm|instantiateIoAlgorithm)'
    'Korvanta::AlgorithmFactory::(compatibleDescriptors|compatibleIoDescriptors|addAlgorithmFactoryToFront)'
    'Korvanta::AlgorithmFactory::(algorithmDescriptor|algorithmDescriptors|ioAlgorithmDescriptors)'
    'Korvanta::AlgorithmControllerFactory::(~?AlgorithmControllerFactory|compatibleDataControllers)'
    'Korvanta::DefaultAlgorithmController::DefaultAlgorithmController'
    'Korvanta::DataList::getImages'
    'Korvanta::OwningDataList::add'
    'Korvanta::Progress::Task::~?Task'
    # The image types, selections (an image's compatibility test is the stand-in's MemImage::compatible)
    # and the descriptor combination.
    'Korvanta::SharedImageSet::(get|getShared|img|clone|size)'
    'Korvanta::SharedImage::(descriptor|mem|sharedMem|syncMem|setDirtyMem|hasGl)'
    'Korvanta::MemImage::compatible'
    'Korvanta::TypedImage<[a-z ]+>::pointer'
    'Korvanta::Selection::isSelected'
    'Korvanta::combineImageDescriptors'
    # The GPU half of the expressions: the node interface, the GL sides of two-operand nodes and channel
    # views, the naming walk, and the leaves' GL operations with the GPU evaluation. The host exports the
    # leaves' operations for every leaf type; the stand-in's leaf mix-in is a template that the plug-in
    # instantiates, which calls them through these functions (and hashes the walk's tags).
    'Korvanta::ImageMath::internal::GlExprInterface::(~GlExprInterface|exprInterface|setMagFilter|setWrap)'
    'Korvanta::ImageMath::internal::(BinaryOpGl|ChannelSwizzleViewGl)::(evalString|tagAndAssignNames|children)'
    'Korvanta::ImageMath::internal::(BinaryOpGl|ChannelSwizzleViewGl)::(getUniformDefinitionList|getVariableDefinitionList|setArguments)'
    'Korvanta::ImageMath::internal::tagAndAssignNamesHelper'
    'Korvanta::ImageMath::internal::(leafEvalString|tagLeaf|appendLeafUniform|setLeafArguments|assignGl)'
    'std::hash<Korvanta::ImageMath::internal::TaggingIndex>::operator\(\)'
    # The per-image task dispatcher.
    'Korvanta::ImageMath::internal::dispatchThread'
    # GL library.
    'Korvanta::GL::Program::setArgument<float>'
    # Mended: in place, an operand image that another index writes is copied before anything is written.
    'Korvanta::SharedImage::clone'
    # Test instrumentation, not an interface: the stand-in's call trace, reached from its own inline
    # image accessors.
    'Korvanta::HostCallTrace::detail::(g_observed|notify)'
)
# The host classes whose type information and virtual tables the plug-in's classes and casts refer to:
# its bases, and the images it casts to. Builds without full optimisation (the sanitized ones) also take
# those of bases that inline constructors and the sanitizers' type checks name.
classes=(
    'PluginBase' 'KorvantaLibPlugin' 'DataAnnotationFactory' 'ParameterBase' 'Configurable' 'Algorithm' 'IoAlgorithm'
    'AlgorithmFactory' 'AlgorithmControllerFactory' 'SharedImageSet' 'TypedImage<[a-z ]+>'
    'ImageMath::internal::(GlExprInterface|BinaryOpGl|ChannelSwizzleViewGl)'
)

taken="$(comm -12 <(nm -D --undefined-only "$plugin" | awk '{print $NF}' | sort -u) \
                  <(nm -D --defined-only "$host" | awk '{print $NF}' | sort -u) | c++filt)"
if [[ -z "$taken" ]]; then
    echo "found no symbol that $plugin takes from $host: is it linked against it?" >&2
    exit 1
fi
either() { IFS='|'; echo "${*}"; }
operation="^([^ (]+ )?($(either "${operations[@]}"))(<[^(]*>)?(\[abi:[a-z0-9]+\])*(\(|$)"
table="^(typeinfo|vtable) for Korvanta::($(either "${classes[@]}"))$"
unoffered="$(grep -Ev "$operation|$table" <<<"$taken" || true)"
echo "$(wc -l <<<"$taken") symbols taken from the host"
if [[ -n "$unoffered" ]]; then
    echo "the plug-in takes what the host does not offer:" >&2
    echo "$unoffered" >&2
    exit 1
fi
